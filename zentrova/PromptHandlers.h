#pragma once

// Makes the program's dialogs answer the questions of the libraries: message boxes for
// AfxMessageBox, the duplicate-point dialog for the database's import. Called once at start-up,
// after the QApplication exists.
void InstallPromptHandlers();
