// Reading session scripts into the scripted user; the format is described in hxhost/session_script.h.
#include "hxhost/session_script.h"

#include "runtime/atomic_file.h"
#include "text/utf.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <functional>
#include <map>
#include <sstream>

namespace {

using hxhost::ActionKind;
using hxhost::GadgetAddress;
using hxhost::GadgetKind;
using hxhost::ScriptedUser;
using hxhost::UserAction;

constexpr size_t kMaxScriptBytes = 4u << 20;

struct Token {
    std::string text;
    bool quoted = false;
};

struct ParseError {
    std::string what;
};

std::vector<Token> tokenize(const std::string& line)
{
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ' || line[i] == '\t') {
            ++i;
            continue;
        }
        if (line[i] == '#' && tokens.empty())
            break;
        Token token;
        if (line[i] == '"') {
            token.quoted = true;
            for (++i;; ++i) {
                if (i >= line.size())
                    throw ParseError{"a text is missing its closing quote"};
                if (line[i] == '"')
                    break;
                if (line[i] == '\\' && i + 1 < line.size())
                    ++i;
                token.text += line[i];
            }
            ++i;
        } else {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t')
                token.text += line[i++];
        }
        tokens.push_back(std::move(token));
    }
    return tokens;
}

class Line {
public:
    Line(std::vector<Token> tokens, int32_t number) : tokens_(std::move(tokens)), number_(number) {}

    // A new action of this line.
    UserAction action(ActionKind kind) const
    {
        UserAction a;
        a.kind = kind;
        a.line = number_;
        return a;
    }

    bool done() const { return next_ >= tokens_.size(); }
    const Token& peek() const
    {
        if (done())
            throw ParseError{"the line ends too early"};
        return tokens_[next_];
    }
    const Token& take()
    {
        const Token& token = peek();
        ++next_;
        return token;
    }
    bool takeWord(const char* word)
    {
        if (done() || tokens_[next_].quoted || tokens_[next_].text != word)
            return false;
        ++next_;
        return true;
    }
    void expectEnd() const
    {
        if (!done())
            throw ParseError{"unexpected \"" + tokens_[next_].text + "\" at the end"};
    }

private:
    std::vector<Token> tokens_;
    int32_t number_;
    size_t next_ = 0;
};

// Decimal ("010" is ten, not eight); hexadecimal only where "0x" says so, as key codes are written.
int64_t number(const std::string& text, int64_t low, int64_t high)
{
    errno = 0;
    char* end = nullptr;
    const bool hex = text.rfind("0x", 0) == 0 || text.rfind("0X", 0) == 0;
    const long long value = std::strtoll(text.c_str(), &end, hex ? 16 : 10);
    if (text.empty() || *end || errno || value < low || value > high)
        throw ParseError{"\"" + text + "\" is not a number from " + std::to_string(low) + " to " + std::to_string(high)};
    return value;
}

int32_t integer(const Token& token)
{
    return static_cast<int32_t>(number(token.text, INT32_MIN, INT32_MAX));
}

// A key is one character ("p") or a key code with its qualifier bits ("0x40000065", "112").
uint32_t keyCode(const std::string& text)
{
    const std::u16string units = hx::utf8To16(text);
    if (units.size() == 1 && !(units[0] >= u'0' && units[0] <= u'9'))
        return units[0];
    return static_cast<uint32_t>(number(text, 0, UINT32_MAX));
}

const std::map<std::string, GadgetKind>& kindNames()
{
    static const std::map<std::string, GadgetKind> names = {
        {"button", GadgetKind::TextButton}, {"image-button", GadgetKind::ImageButton},
        {"checkbox", GadgetKind::CheckBox}, {"popup", GadgetKind::Popup},
        {"slider", GadgetKind::Slider},     {"list", GadgetKind::ListView},
        {"grid", GadgetKind::GridView},     {"click-area", GadgetKind::ClickArea}};
    return names;
}

// An optional  in "Title"  or  in main.
std::u16string windowName(Line& line)
{
    if (!line.takeWord("in"))
        return {};
    const Token& name = line.take();
    return hx::utf8To16(name.text);
}

GadgetAddress gadget(Line& line)
{
    const Token& token = line.take();
    GadgetAddress address;
    const std::string& t = token.text;
    if (token.quoted) {
        if (t.empty())
            throw ParseError{"an empty text names no gadget"};
        address.text = hx::utf8To16(t);
    } else if (t == "ok" || t == "cancel") {
        address.role = t == "ok" ? GadgetAddress::Role::Ok : GadgetAddress::Role::Cancel;
    } else if (t.rfind("help:", 0) == 0) {
        address.helpString = static_cast<int32_t>(number(t.substr(5), 0, INT32_MAX));
    } else if (t.rfind("key:", 0) == 0) {
        address.key = keyCode(t.substr(4));
    } else if (t.rfind('#', 0) == 0) {
        address.id = static_cast<uint32_t>(number(t.substr(1), 1, UINT32_MAX));
    } else {
        const size_t colon = t.find(':');
        auto kind = kindNames().find(t.substr(0, colon));
        if (kind == kindNames().end())
            throw ParseError{"\"" + t + "\" names no gadget"};
        address.kind = kind->second;
        address.index = colon == std::string::npos ? 0 : static_cast<int32_t>(number(t.substr(colon + 1), 0, INT32_MAX));
    }
    address.window = windowName(line);
    return address;
}

using Step = std::function<void(ScriptedUser&)>;

Step action(UserAction a)
{
    return [a](ScriptedUser& user) { user.addAction(a); };
}

Step gadgetAction(Line& line, ActionKind kind, bool withValue)
{
    UserAction a = line.action(kind);
    a.gadget = gadget(line);
    if (withValue)
        a.value = integer(line.take());
    return action(a);
}

Step check(Line& line)
{
    UserAction a = line.action(ActionKind::SetCheck);
    a.gadget = gadget(line);
    const std::string state = line.take().text;
    if (state != "on" && state != "off")
        throw ParseError{"a check box is set \"on\" or \"off\""};
    a.value = state == "on" ? 1 : 0;
    return action(a);
}

// set GADGET N | on | off | "entry text"
Step set(Line& line)
{
    UserAction a = line.action(ActionKind::Set);
    a.gadget = gadget(line);
    const Token& value = line.take();
    if (value.quoted)
        a.entry = hx::utf8To16(value.text);
    else if (value.text == "on" || value.text == "off")
        a.value = value.text == "on" ? 1 : 0;
    else
        a.value = integer(value);
    return action(a);
}

Step drag(Line& line)
{
    UserAction a = line.action(ActionKind::DragToPosition);
    a.gadget = gadget(line);
    if (line.takeWord("to")) {
        a.kind = ActionKind::DragSlider;
        a.value = integer(line.take());
        return action(a);
    }
    a.value = integer(line.take());
    if (line.takeWord("to")) {
        a.kind = ActionKind::DragToPosition;
        a.to = integer(line.take());
    } else if (line.takeWord("onto")) {
        a.kind = ActionKind::DragOnto;
        a.target = gadget(line);
    } else {
        throw ParseError{"a drag goes \"to\" a position or \"onto\" a gadget"};
    }
    return action(a);
}

Step closeWindow(Line& line, ActionKind kind)
{
    UserAction a = line.action(kind);
    a.gadget.window = windowName(line);
    return action(a);
}

Step screenshot(Line& line)
{
    UserAction a = line.action(ActionKind::Screenshot);
    a.path = line.take().text;
    if (a.path.empty())
        throw ParseError{"a screenshot needs a file name"};
    a.gadget.window = windowName(line);
    return action(a);
}

// An optional  screenshot PATH  after an answer: the screen with the requester, before it is answered.
std::string answerScreenshot(Line& line)
{
    if (!line.takeWord("screenshot"))
        return {};
    std::string path = line.take().text;
    if (path.empty())
        throw ParseError{"a screenshot needs a file name"};
    return path;
}

Step answer(Line& line)
{
    const std::string word = line.take().text;
    if (word != "yes" && word != "no" && word != "ok")
        throw ParseError{"an answer is \"yes\", \"no\" or \"ok\""};
    const uint32_t value = word == "no" ? 0 : 1;
    const std::string shot = answerScreenshot(line);
    return [value, shot](ScriptedUser& user) { user.addAnswer(value, shot); };
}

Step crop(Line& line)
{
    hxhost::CropAnswer answer;
    if (line.takeWord("cancel")) {
    } else if (line.takeWord("keep")) {
        answer.accept = answer.keepShown = true;
    } else {
        answer.accept = true;
        answer.x = integer(line.take());
        answer.y = integer(line.take());
        answer.width = integer(line.take());
        answer.height = integer(line.take());
        if (answer.width <= 0 || answer.height <= 0)
            throw ParseError{"a crop rectangle needs a width and a height above 0"};
    }
    const std::string shot = answerScreenshot(line);
    return [answer, shot](ScriptedUser& user) { user.addCrop(answer, shot); };
}

Step pickScenes(Line& line)
{
    ScriptedUser::ScenePick pick;
    if (line.takeWord("all")) {
        pick.all = true;
    } else if (!line.takeWord("none")) {
        do {
            const Token& token = line.take();
            if (token.quoted)
                pick.names.push_back(hx::utf8To16(token.text));
            else
                pick.ids.push_back(static_cast<uint32_t>(number(token.text, 1, UINT32_MAX)));
        } while (!line.done());
    }
    return [pick](ScriptedUser& user) { user.addScenes(pick); };
}

Step pickOperators(Line& line)
{
    std::vector<std::string> names;
    if (!line.takeWord("none"))
        do
            names.push_back(line.take().text);
        while (!line.done());
    return [names](ScriptedUser& user) { user.addOperators(names); };
}

Step pickFile(Line& line)
{
    if (line.takeWord("cancel"))
        return [](ScriptedUser& user) { user.addFile(std::nullopt); };
    hxhost::FileAnswer file;
    file.path = line.take().text;
    if (!line.done() && line.peek().quoted)
        file.displayName = hx::utf8To16(line.take().text);
    if (line.takeWord("orientation"))
        file.orientation = integer(line.take());
    return [file](ScriptedUser& user) { user.addFile(file); };
}

Step parseLine(Line& line)
{
    const Token& verb = line.take();
    if (verb.quoted)
        throw ParseError{"a line starts with an action, not a text"};
    const std::string& v = verb.text;
    if (v == "press")
        return gadgetAction(line, ActionKind::Press, false);
    if (v == "toggle") {
        UserAction a = line.action(ActionKind::Press);
        a.gadget = gadget(line);
        if (a.gadget.kind && *a.gadget.kind != GadgetKind::CheckBox)
            throw ParseError{"only check boxes toggle"};
        return action(a);
    }
    if (v == "choose")
        return gadgetAction(line, ActionKind::Choose, true);
    if (v == "slide")
        return gadgetAction(line, ActionKind::Slide, true);
    if (v == "select")
        return gadgetAction(line, ActionKind::Select, true);
    if (v == "double-click")
        return gadgetAction(line, ActionKind::DoubleClick, true);
    if (v == "step")
        return gadgetAction(line, ActionKind::Step, true);
    if (v == "check")
        return check(line);
    if (v == "set")
        return set(line);
    if (v == "drag")
        return drag(line);
    if (v == "key") {
        UserAction a = line.action(ActionKind::Key);
        a.value = static_cast<int32_t>(keyCode(line.take().text));
        a.gadget.window = windowName(line);
        return action(a);
    }
    if (v == "close")
        return closeWindow(line, ActionKind::Close);
    if (v == "quit")
        return closeWindow(line, ActionKind::Quit);
    if (v == "screenshot")
        return screenshot(line);
    if (v == "answer")
        return answer(line);
    if (v == "stop-meter") {
        const int32_t step = static_cast<int32_t>(number(line.take().text, 0, INT32_MAX));
        return [step](ScriptedUser& user) { user.stopMeterAt(step); };
    }
    if (v == "crop")
        return crop(line);
    if (v == "pick-scenes")
        return pickScenes(line);
    if (v == "pick-operators")
        return pickOperators(line);
    if (v == "pick-file")
        return pickFile(line);
    throw ParseError{"unknown action \"" + v + "\""};
}

} // namespace

namespace hxhost {

bool parseSessionScript(const std::string& text, const std::string& name, ScriptedUser& user, std::string* error)
{
    std::vector<Step> steps;
    std::istringstream lines(text);
    std::string content;
    int32_t number = 0;
    while (std::getline(lines, content)) {
        ++number;
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        try {
            std::vector<Token> tokens = tokenize(content);
            if (tokens.empty())
                continue;
            Line line(std::move(tokens), number);
            Step step = parseLine(line);
            line.expectEnd();
            steps.push_back(std::move(step));
        } catch (const ParseError& failure) {
            if (error)
                *error = name + ":" + std::to_string(number) + ": " + failure.what;
            return false;
        }
    }
    for (Step& step : steps)
        step(user);
    return true;
}

bool loadSessionScript(const std::string& path, ScriptedUser& user, std::string* error)
{
    std::string text;
    if (!hx::readWholeFile(path, text, kMaxScriptBytes)) {
        if (error)
            *error = path + ": cannot read the script (missing, unreadable or larger than 4 MB)";
        return false;
    }
    return parseSessionScript(text, path, user, error);
}

} // namespace hxhost
