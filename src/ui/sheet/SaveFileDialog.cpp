#include "ui/sheet/SaveFileDialog.h"

#include "ui/sheet/AppMessageBox.h"

#include <QFileDialog>
#include <QStringList>

#include <vector>

namespace {

class QtSaveFileDialog : public SaveFileDialog {
public:
    bool AskSavePath(const std::string& defaultExtension, const std::string& filter,
                     std::string& path) override {
        QFileDialog dialog(AppMainWindow());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
        dialog.setNameFilters(
            QString::fromStdString(PipeFilterToQt(filter)).split(QStringLiteral(";;")));
        // Overwriting an existing file asks first (QFileDialog's default in save mode).
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        path = dialog.selectedFiles().first().toStdString();
        return true;
    }
};

SaveFileDialog*& Installed() {
    static SaveFileDialog* installed = nullptr;
    return installed;
}

std::string StripTrailingPatternList(std::string label) {
    const size_t open = label.rfind('(');
    if (open != std::string::npos && !label.empty() && label.back() == ')') {
        label.erase(open);
        while (!label.empty() && label.back() == ' ')
            label.pop_back();
    }
    return label;
}

} // namespace

SaveFileDialog& CurrentSaveFileDialog() {
    static QtSaveFileDialog real;
    return Installed() ? *Installed() : real;
}

void SetSaveFileDialog(SaveFileDialog* dialog) {
    Installed() = dialog;
}

std::string PipeFilterToQt(const std::string& filter) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start < filter.size()) {
        const size_t bar = filter.find('|', start);
        const size_t stop = bar == std::string::npos ? filter.size() : bar;
        parts.push_back(filter.substr(start, stop - start));
        start = stop + 1;
    }
    std::string result;
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty())
            break;
        std::string patterns;
        size_t from = 0;
        const std::string& list = parts[i + 1];
        while (from <= list.size()) {
            const size_t semi = list.find(';', from);
            std::string one =
                list.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
            if (one == "*.*")
                one = "*";
            if (!one.empty())
                patterns += (patterns.empty() ? "" : " ") + one;
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        if (!result.empty())
            result += ";;";
        result += StripTrailingPatternList(parts[i]) + " (" + patterns + ")";
    }
    return result;
}
