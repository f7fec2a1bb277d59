#include "wine/registration_text.h"

#include "host/batch_file.h"

namespace wine {

std::string RegisterQuestionText() {
    return "Do you want to register this program as a Linux App?\r\n"
           "(it will be listed in the XDG Desktop Menu for quick access)";
}

std::string RelocateQuestionText(std::string_view unixFolder) {
    const std::string folder(unixFolder);
    return "We recommend to have Windows executables stored in the "
           "'~/.wine/drive_c/Apps' folder. Would you like to move this "
           "program there, or do you prefer to launch it from '" +
           folder +
           "' ?\r(beware that in this case, moving it in the future will break "
           "the Linux App shortcut in the Desktop Menu).\r\r"
           "- Click Yes to move to '~/.wine/drive_c/Apps'\r\r"
           "- Click No to keep in '" +
           folder + "'\r\r- Click Cancel to abandon registration as a Linux App.";
}

std::string RegistrationFailedText() {
    return "An error occured.\r\nRegistration failed.\r\n\r\nClick OK to continue the program.";
}

std::string RelaunchBatchText(std::string_view oldProgramPath, std::string_view newProgramPath) {
    return "TimeOut 1\r\n"
           "del \"" +
           host::DoublePercent(oldProgramPath) +
           "\"\r\n"
           "start \"\" \"" +
           host::DoublePercent(newProgramPath) + "\"\r\n";
}

}  // namespace wine
