// The services that call hx::shouldFail, by the name they call it with.
#include "runtime/host_state.h"
#include "hxhost/faults.h"

#include <algorithm>

namespace hxhost {

const std::vector<std::string>& fallibleServices()
{
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list = {
            "cmGetField", "cmOpen", "createVideoFile",
            "imp_filter_create", "imp_filter_get_frame", "imp_filter_put_frame",
            "mainBuildOpGui", "mainClearStoryboard", "mainLoadOperator", "mainSelectOperatorRequesterMulti", "mainSelectSceneRequesterMulti",
            "msgQCreate",
            "nslCopyAVRecord", "nslDeleteStillsetStamp", "nslGetStillset", "nslReadStillsetProject",
            "nslRenderStillsetElement", "nslSBAddLongterm", "nslSBAddScene", "nslSBAddTransition22",
            "nslSBAllocScene", "nslSBCalcTransitionAudio", "nslSBCompleteRange", "nslSBGetSceneInfo", "nslSBTransitionAddJingle",
            "nslSetAVRecordName", "nslWriteStillsetProject",
            "nslRenderStillsetElement", "nslSBAddLongterm", "nslSBAddScene", "nslSBAddTransition22", "nslSBAllocScene",
            "nslSBCalcTransitionAudio", "nslSBCompleteRange", "nslSBGetSceneInfo", "nslSBLongFXUpdatePrefs",
            "nslSBTransitionAddJingle", "nslSBTransitionUpdatePrefs",
            "opAllocImage", "opCloneImage", "opConvertImage", "opGetField", "opMakeField", "opMakeFrame",
            "opScaleImage", "opScaleImageSP", "opSetPrefs",
            "probeAudio",
            "resLoadImages", "resLoadStrings",
            "storeMedia", "storeSceneBin", "storeStoryboard",
            "txAllocRequest", "txOpScale", "txRequest",
            "ugAddCheckBox", "ugAddClickGadget", "ugAddGridview", "ugAddImageButton", "ugAddListview",
            "ugAddPopup", "ugAddSlider", "ugAddTextButton", "ugAllocGadExt", "ugAllocImage", "ugGetScaledResImage2",
            "ureqCreateRequest", "ureqImageRequest", "ureqOpenMeter", "ureqTextRequest",
        };
        std::sort(list.begin(), list.end());
        return list;
    }();
    return names;
}

} // namespace hxhost

namespace hx {

bool isFallibleService(const std::string& name)
{
    const std::vector<std::string>& names = hxhost::fallibleServices();
    return std::binary_search(names.begin(), names.end(), name);
}

} // namespace hx
