// stillset-host storyboard: prints a host project's storyboard, or undoes its last step.
#include "commands.h"
#include "options.h"
#include "unfinished_build.h"

#include "host/hxmain.h"
#include "host/hxop.h"
#include "hxhost/for_people.h"
#include "hxhost/scene_bin.h"
#include "hxhost/setup.h"
#include "hxhost/storyboard.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace {

const char kHelp[] =
    "usage: stillset-host storyboard --hxhome DIR --project N [--undo] [--json]\n"
    "\n"
    "Prints the storyboard of host project N under the installation DIR: each scene with its clip,\n"
    "length and position on the timeline (a transition overlaps the end of its scene with the start of\n"
    "the next), its long-term effect with a summary of its settings, and the transition into the next\n"
    "scene with its name, length and jingle.\n"
    "\n";

std::string jsonText(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string hex(const std::vector<uint8_t>& bytes)
{
    std::string out;
    for (uint8_t b : bytes) {
        char two[3];
        std::snprintf(two, sizeof two, "%02x", b);
        out += two;
    }
    return out;
}

// What a person wants to know of an operator's block: the pan's mode, else its size and bytes.
std::string prefsSummary(const hxhost::PlacedOperator& op)
{
    if (op.prefs.empty())
        return "defaults";
    if (op.operatorName == "longterm/stillsetpan.opw" && op.prefs.size() == sizeof(PanPrefs)) {
        PanPrefs pan;
        std::memcpy(&pan, op.prefs.data(), sizeof pan);
        return "pan mode " + std::to_string(pan.panMode);
    }
    return std::to_string(op.prefs.size()) + " bytes " + hex(op.prefs);
}

std::string displayName(const std::string& operatorName)
{
    const hxchar* name = mainGetOperatorName(operatorName.c_str(), 0);
    if (!name)
        return operatorName;
    std::u16string text;
    for (size_t i = 0; name[i]; ++i)
        text += static_cast<char16_t>(name[i]);
    return hxhost::utf8Of(text);
}

std::string seconds(int64_t microseconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(microseconds) / 1e6);
    return text;
}

std::map<uint32_t, std::string> clipNames()
{
    std::map<uint32_t, std::string> names;
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        names[item.id] = hxhost::utf8Of(item.name);
    return names;
}

void printText(const hxhost::Storyboard& board, long project)
{
    std::map<uint32_t, std::string> names = clipNames();
    std::printf("storyboard of project %ld: %zu scenes, %d frames", project, board.scenes.size(), board.length);
    if (board.completedStart >= 0)
        std::printf(", frames %d to %d completed", board.completedStart, board.completedEnd);
    std::printf("\n");
    if (const std::string note = unfinishedBuildNote(board); !note.empty())
        std::printf("%s\n", note.c_str());
    for (size_t i = 0; i < board.scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = board.scenes[i];
        std::printf("scene %zu: clip \"%s\" (item %u), %d frames at %d\n", i + 1, names[scene.clipItem].c_str(),
                    scene.clipItem, scene.length, scene.position);
        if (const auto& e = scene.effect)
            std::printf("  effect: %s (%s), %d frames, %s\n", displayName(e->operatorName).c_str(),
                        e->operatorName.c_str(), e->length, prefsSummary(*e).c_str());
        if (const auto& t = scene.transition) {
            std::printf("  transition: %s (%s), %d frames, %s", displayName(t->operatorName).c_str(),
                        t->operatorName.c_str(), t->length, prefsSummary(*t).c_str());
            if (!t->jingleFile.empty())
                std::printf(", jingle \"%s\" (%s, %s s)", hxhost::utf8Of(t->jingleName).c_str(), t->jingleFile.c_str(),
                            seconds(t->jingleMicroseconds).c_str());
            std::printf("\n");
        }
    }
    std::printf("undo steps: %zu", board.undoSteps.size());
    if (!board.undoSteps.empty())
        std::printf(", the last \"%s\"", hxhost::utf8Of(board.undoSteps.back().label).c_str());
    std::printf("\n");
}

std::string jsonOperator(const hxhost::PlacedOperator& op)
{
    return "{\"operator\": " + jsonText(op.operatorName) + ", \"name\": " + jsonText(displayName(op.operatorName)) +
           ", \"length\": " + std::to_string(op.length) + ", \"prefs\": " + jsonText(hex(op.prefs)) +
           ", \"summary\": " + jsonText(prefsSummary(op)) + ", \"uniqueId\": " + std::to_string(op.uniqueId);
}

void printJson(const hxhost::Storyboard& board, long project)
{
    std::map<uint32_t, std::string> names = clipNames();
    std::string out = "{\"project\": " + std::to_string(project) + ", \"length\": " + std::to_string(board.length) +
                      ", \"completed\": [" + std::to_string(board.completedStart) + ", " +
                      std::to_string(board.completedEnd) + "], \"unfinishedFrom\": " +
                      std::to_string(board.unfinishedFrom) + ", \"scenes\": [";
    for (size_t i = 0; i < board.scenes.size(); ++i) {
        const hxhost::StoryboardScene& scene = board.scenes[i];
        out += std::string(i ? ", " : "") + "{\"clip\": " + jsonText(names[scene.clipItem]) +
               ", \"clipItem\": " + std::to_string(scene.clipItem) + ", \"length\": " + std::to_string(scene.length) +
               ", \"position\": " + std::to_string(scene.position);
        if (const auto& e = scene.effect)
            out += ", \"effect\": " + jsonOperator(*e) + "}";
        if (const auto& t = scene.transition) {
            out += ", \"transition\": " + jsonOperator(*t) + ", \"flag\": " + std::to_string(t->flag);
            if (!t->jingleFile.empty())
                out += ", \"jingle\": {\"file\": " + jsonText(t->jingleFile) + ", \"name\": " +
                       jsonText(hxhost::utf8Of(t->jingleName)) + ", \"seconds\": " + seconds(t->jingleMicroseconds) + "}";
            out += "}";
        }
        out += "}";
    }
    out += "], \"undoSteps\": [";
    for (size_t i = 0; i < board.undoSteps.size(); ++i)
        out += std::string(i ? ", " : "") + jsonText(hxhost::utf8Of(board.undoSteps[i].label));
    std::printf("%s]}\n", out.c_str());
}

} // namespace

const OptionTable& storyboardOptions()
{
    static const OptionTable table = {
        textOption("--hxhome", "DIR", "the installation root"),
        wholeNumberOption("--project", "N", 0, 1000000, "the host project, 0 or more"),
        switchOption("--undo", "undo the last step of the project's history first, and say which"),
        switchOption("--json", "print the storyboard as JSON"),
    };
    return table;
}

int runStoryboard(const Arguments& arguments)
{
    const std::string command = "storyboard";
    Options options(command, storyboardOptions());
    long project = -1;
    if (const int status = parseProjectCommand(options, arguments, kHelp, project); status >= 0)
        return status;
    std::string error;
    std::error_code missing;
    if (!std::filesystem::is_directory(options.value("--hxhome"), missing))
        return runFailure(command, "no installation at " + options.value("--hxhome"));
    hxhost::setHome(options.value("--hxhome"));
    hxhost::setProjectNumber(static_cast<int32_t>(project));
    // Undoing changes the project; printing it only reads, beside whoever works on it.
    if (options.has("--undo") && !hxhost::lockProject(&error))
        return runFailure(command, error);
    hxhost::Storyboard stored;
    const std::string projectDirectory = options.value("--hxhome") + "/projects/project" + std::to_string(project);
    if (!hxhost::readStoryboardFile(projectDirectory, stored, &error))
        tell(command, error + "; it is set aside and the project has none");
    if (options.has("--undo")) {
        std::u16string label;
        if (!hxhost::undoLastStep(&label, &error))
            return runFailure(command, "cannot undo: " + error);
        if (!options.has("--json"))
            std::printf("undone: \"%s\"\n", hxhost::utf8Of(label).c_str());
    }
    const hxhost::Storyboard board = hxhost::storyboard();
    if (options.has("--json"))
        printJson(board, project);
    else
        printText(board, project);
    return 0;
}
