#include "host/text_encoding.h"

#include "platform/win32.h"

namespace host {

std::u16string DecodeThreadAnsi(const char* text, std::size_t length) {
    if (text == nullptr || length == 0) return {};
    const int units =
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    std::u16string out(static_cast<std::size_t>(units > 0 ? units : 0), u'\0');
    if (units > 0) {
        MultiByteToWideChar(CP_THREAD_ACP, 0, text, static_cast<int>(length),
                            reinterpret_cast<LPWSTR>(out.data()), units);
    }
    return out;
}

}  // namespace host
