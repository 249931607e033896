#pragma once

// Installs the boxes through which the store asks the user: the language choice and Yes/No
// questions. GUI thread, before StartCatalog.
void InstallQuestionBoxes();

// Start-up before the main window: paths, the catalogue (created or upgraded, station and
// session registered), the options with the language, and the offer to remove expired logs.
// When the catalogue cannot be opened or a statement fails, tells the user (the file's path and
// the engine's message), leaves the catalogue closed and returns false. GUI thread.
bool StartCatalog();
