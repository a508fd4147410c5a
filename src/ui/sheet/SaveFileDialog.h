#pragma once

#include <string>

// Asks the operator for a file to save to. Tests install a recorder in place of
// the real dialog. The real one opens in the folder of the last file chosen in
// this run, and a typed name without an extension gets the chosen filter's.
class SaveFileDialog {
public:
    virtual ~SaveFileDialog() = default;
    // defaultExtension without the dot ("txt"); filter in the pipe form
    // "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||". Returns false on cancel.
    virtual bool AskSavePath(const std::string& defaultExtension, const std::string& filter,
                             std::string& path) = 0;
};

// The dialog in use: the installed one, else the real one.
SaveFileDialog& CurrentSaveFileDialog();
// Installs a replacement (not owned); nullptr restores the real dialog.
void SetSaveFileDialog(SaveFileDialog* dialog);

// "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||" -> "Text Files (*.txt);;All Files (*)".
// "*.*" becomes "*", which matches every file here, names without a dot included.
std::string PipeFilterToQt(const std::string& filter);

// The extension a typed name gets with this Qt filter entry: its first
// pattern's ("SVG Images (*.svg)" -> "svg"), or defaultExtension where that
// names no one extension ("All Files (*)").
std::string SuffixForFilter(const std::string& entry, const std::string& defaultExtension);
