#include "gui/slider_text.h"

#include <string>

namespace {

std::u16string decimal(int32_t value)
{
    std::u16string digits;
    for (char c : std::to_string(value))
        digits += static_cast<char16_t>(c);
    return digits;
}

} // namespace

namespace hx {

std::u16string sliderText(const std::u16string& format, int32_t value)
{
    if (format.empty())
        return decimal(value);
    std::u16string out;
    for (size_t i = 0; i < format.size(); ++i) {
        if (format[i] != u'%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        size_t j = i + 1;
        if (format[j] == u'%') {
            out += u'%';
            i = j;
            continue;
        }
        int32_t width = 0;
        while (j < format.size() && format[j] >= u'0' && format[j] <= u'9' && width < 100)
            width = width * 10 + (format[j++] - u'0');
        while (j < format.size() && (format[j] == u'l' || format[j] == u'h'))
            ++j;
        if (j < format.size() && (format[j] == u'd' || format[j] == u'i' || format[j] == u'u')) {
            std::u16string digits = decimal(value);
            if (static_cast<int32_t>(digits.size()) < width)
                digits.insert(0, static_cast<size_t>(width) - digits.size(), u' ');
            out += digits;
            i = j;
        } else {
            out += format[i];
        }
    }
    return out;
}

} // namespace hx
