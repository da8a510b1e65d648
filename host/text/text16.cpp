// hxtext: 16-bit character strings and their printf-style formatting.
#include "host/hxtext.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstdarg>
#include <cstdio>
#include <string>

namespace {

struct Directive {
    bool left = false;
    bool zero = false;
    bool plus = false;
    bool space = false;
    bool alternate = false;
    int width = -1;
    int precision = -1;
    char length = 0; // 'h', 'l' or 0
};

void pad(std::u16string& out, const std::u16string& body, const Directive& directive)
{
    const int fill = directive.width > static_cast<int>(body.size()) ? directive.width - static_cast<int>(body.size()) : 0;
    if (directive.left) {
        out += body;
        out.append(static_cast<size_t>(fill), u' ');
    } else {
        out.append(static_cast<size_t>(fill), u' ');
        out += body;
    }
}

// Numbers are formatted by the C library so that flags, width and precision behave as in printf.
void formatNumber(std::u16string& out, const Directive& directive, char conversion, long long value)
{
    std::string format = "%";
    if (directive.left) format += '-';
    if (directive.zero) format += '0';
    if (directive.plus) format += '+';
    if (directive.space) format += ' ';
    if (directive.alternate) format += '#';
    if (directive.width >= 0) format += std::to_string(directive.width);
    if (directive.precision >= 0) format += "." + std::to_string(directive.precision);
    format += "ll";
    format += conversion;
    char text[96];
    std::snprintf(text, sizeof text, format.c_str(), value);
    for (const char* c = text; *c; ++c)
        out += static_cast<char16_t>(static_cast<unsigned char>(*c));
}

} // namespace

extern "C" {

int32_t xcslen(const hxchar* text) HX_ENTRY
{
    int32_t n = 0;
    if (text)
        while (text[n])
            ++n;
    return n;
}
HX_ENTRY_FAILS(0)

hxchar* xcscpy(hxchar* target, const hxchar* source) HX_ENTRY
{
    hxchar* out = target;
    while ((*out++ = *source++))
        ;
    return target;
}
HX_ENTRY_FAILS(nullptr)

hxchar* xcscat(hxchar* target, const hxchar* source) HX_ENTRY
{
    xcscpy(target + xcslen(target), source);
    return target;
}
HX_ENTRY_FAILS(nullptr)

int32_t sxprintf(hxchar* buffer, const hxchar* format, ...) HX_ENTRY
{
    hx::countCall("sxprintf");
    std::u16string out;
    va_list args;
    va_start(args, format);
    for (const hxchar* p = format; p && *p; ++p) {
        if (*p != u'%') {
            out += *p;
            continue;
        }
        Directive directive;
        for (++p;; ++p) {
            if (*p == u'-') directive.left = true;
            else if (*p == u'0') directive.zero = true;
            else if (*p == u'+') directive.plus = true;
            else if (*p == u' ') directive.space = true;
            else if (*p == u'#') directive.alternate = true;
            else break;
        }
        if (*p == u'*') {
            directive.width = va_arg(args, int);
            ++p;
        } else {
            for (; *p >= u'0' && *p <= u'9'; ++p)
                directive.width = (directive.width < 0 ? 0 : directive.width * 10) + (*p - u'0');
        }
        if (*p == u'.') {
            directive.precision = 0;
            for (++p; *p >= u'0' && *p <= u'9'; ++p)
                directive.precision = directive.precision * 10 + (*p - u'0');
        }
        if (*p == u'h' || *p == u'l') {
            directive.length = static_cast<char>(*p);
            ++p;
        }
        switch (*p) {
        case u'd':
        case u'i': {
            const long value = directive.length == 'l' ? va_arg(args, long) : va_arg(args, int);
            formatNumber(out, directive, 'd', directive.length == 'h' ? static_cast<short>(value) : value);
            break;
        }
        case u'u':
        case u'x':
        case u'X': {
            const unsigned long value = directive.length == 'l' ? va_arg(args, unsigned long) : va_arg(args, unsigned int);
            formatNumber(out, directive, static_cast<char>(*p),
                         static_cast<long long>(directive.length == 'h' ? static_cast<unsigned short>(value) : value));
            break;
        }
        case u'c':
            pad(out, std::u16string(1, static_cast<char16_t>(va_arg(args, int))), directive);
            break;
        case u's': {
            const hxchar* text = va_arg(args, const hxchar*);
            std::u16string body = text ? std::u16string(text) : std::u16string(u"(null)");
            if (directive.precision >= 0 && body.size() > static_cast<size_t>(directive.precision))
                body.resize(static_cast<size_t>(directive.precision));
            pad(out, body, directive);
            break;
        }
        case u'%':
            out += u'%';
            break;
        case 0:
            --p; // a lone '%' at the end is dropped
            break;
        default:
            out += u'%';
            out += *p;
            break;
        }
    }
    va_end(args);
    std::copy(out.begin(), out.end(), buffer);
    buffer[out.size()] = 0;
    return static_cast<int32_t>(out.size());
}
HX_ENTRY_FAILS(0)

} // extern "C"
