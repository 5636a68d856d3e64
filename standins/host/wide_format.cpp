#include "standins/host/wide_format.h"

#include <stdint.h>

static void AppendNumber(std::basic_string<WCHAR>& out, uint64_t value, unsigned base)
{
    WCHAR digits[32];
    int n = 0;
    do {
        unsigned d = (unsigned)(value % base);
        digits[n++] = (WCHAR)(d < 10 ? '0' + d : 'a' + d - 10);
        value /= base;
    } while (value);
    while (n)
        out.push_back(digits[--n]);
}

std::basic_string<WCHAR> FormatWide(const WCHAR* format, va_list arguments)
{
    std::basic_string<WCHAR> out;
    for (const WCHAR* p = format; *p; ++p) {
        if (*p != '%') {
            out.push_back(*p);
            continue;
        }
        WCHAR directive = *++p;
        switch (directive) {
        case 's': {
            const WCHAR* s = va_arg(arguments, const WCHAR*);
            out += s ? s : TEXT("(null)");
            break;
        }
        case 'd': {
            int32_t v = va_arg(arguments, int32_t);
            if (v < 0) {
                out.push_back('-');
                AppendNumber(out, (uint64_t)(-(int64_t)v), 10);
            } else {
                AppendNumber(out, (uint64_t)v, 10);
            }
            break;
        }
        case 'u':
            AppendNumber(out, va_arg(arguments, uint32_t), 10);
            break;
        case 'x':
            AppendNumber(out, va_arg(arguments, uint32_t), 16);
            break;
        case 'c':
            out.push_back((WCHAR)va_arg(arguments, int));
            break;
        case '%':
            out.push_back('%');
            break;
        case 0:
            return out;
        default: // not a directive the host knows: keep it as written
            out.push_back('%');
            out.push_back(directive);
            break;
        }
    }
    return out;
}
