#include "wine/registration_text.h"

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

host::BatchFile RelaunchBatch(std::string_view oldProgramPath, std::string_view newProgramPath) {
    host::BatchBuilder batch;
    batch.Syntax("@echo off\r\nset LUMORA_RELAUNCH_TRIES=0\r\n:remove\r\n");
    batch.Syntax("del \"").Text(oldProgramPath).Syntax("\" >nul 2>&1\r\n");
    batch.Syntax("if not exist \"").Text(oldProgramPath).Syntax("\" goto relaunch\r\n");
    // Wine's cmd has no TimeOut; ping waits about a second on both systems.
    batch.Syntax(
        "ping -n 2 127.0.0.1 >nul\r\n"
        "set /a LUMORA_RELAUNCH_TRIES+=1\r\n"
        "if %LUMORA_RELAUNCH_TRIES% lss 30 goto remove\r\n"
        ":relaunch\r\n");
    batch.Syntax("start \"\" \"").Text(newProgramPath).Syntax("\"\r\n");
    batch.Syntax("del \"%~f0\"\r\n");
    return batch.Take();
}

std::string RelaunchBatchName(std::string_view programName) {
    std::string name;
    for (const char c : programName) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.' || c == ' ';
        name += plain ? c : '_';
    }
    return name + ".bat";
}

}  // namespace wine
