// Notices and questions: drawn over the windows while the user answers them.
#include "host/hxreq.h"

#include "gui/colour.h"
#include "gui/font.h"
#include "gui/requesters/modal_window.h"
#include "gui/screen.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <algorithm>

namespace {

// The notice or question as a person sees it: its text wrapped, then its buttons.
void drawTextRequest(hx::ModalWindow& shown, const std::vector<std::u16string>& lines, bool question)
{
    if (!shown.open())
        return;
    const hx::Canvas canvas = shown.canvas();
    const int32_t margin = hx::convertWidth(16), lineHeight = hx::fontHeight() + hx::convertHeight(4);
    for (size_t i = 0; i < lines.size(); ++i)
        hx::drawText(canvas, margin, margin + static_cast<int32_t>(i) * lineHeight, lines[i], hx::guiColour(hx::kColourText));
    shown.addButtons(question ? std::vector<std::u16string>{u"No", u"Yes"} : std::vector<std::u16string>{u"OK"});
    shown.shown();
}

} // namespace

extern "C" int32_t ureqTextRequest(UReqTextRequest* request) HX_ENTRY
{
    if (hx::shouldFail("ureqTextRequest") || !request)
        return -1;
    hxhost::TextRequestSeen seen;
    if (request->title)
        seen.title = request->title;
    if (request->text)
        seen.text = request->text;
    seen.style = request->style;
    const bool question = seen.style == UREQ_QUESTION;

    const hx::ScreenConfig& screen = hx::screenConfig();
    const int32_t margin = hx::convertWidth(16), lineHeight = hx::fontHeight() + hx::convertHeight(4);
    const std::vector<std::u16string> lines = hx::wrapText(seen.text, screen.width / 2 - 2 * margin);
    int32_t widest = 0;
    for (const std::u16string& line : lines)
        widest = std::max(widest, hx::textWidth(line));
    const int32_t width = std::max(widest + 2 * margin, hx::convertWidth(360));
    const int32_t height = static_cast<int32_t>(lines.size()) * lineHeight + 2 * margin + hx::modalButtonHeight() +
                           hx::convertWidth(6);
    hx::ModalWindow shown(!seen.title.empty() ? seen.title : question ? u"Question" : u"Notice", width, height);
    drawTextRequest(shown, lines, question);

    hx::HostState& host = hx::state();
    seen.answer = host.user ? host.user->answerTextRequest(seen) : 0;
    request->answer = seen.answer;
    host.textRequests.push_back(std::move(seen));
    return 0;
}
HX_ENTRY_FAILS(-1)

namespace hxhost {

std::vector<TextRequestSeen> textRequestsSeen()
{
    return hx::state().textRequests;
}

} // namespace hxhost
