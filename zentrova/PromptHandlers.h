#pragma once

// Makes the program's dialogs answer the questions of the libraries: message boxes for
// AfxMessageBox. Called once at start-up, after the QApplication exists.
void InstallPromptHandlers();
