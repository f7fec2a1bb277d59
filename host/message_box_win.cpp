#include "host/message_box_win.h"

#include "host/program_win.h"
#include "host/text_encoding_win.h"

namespace host {

int ShowMessageBox(HWND owner, const std::string& text, UINT type, const std::string& caption) {
    return ::MessageBoxW(owner, Widen(text).c_str(),
                         Widen(caption.empty() ? ProgramName() : caption).c_str(), type);
}

}  // namespace host
