#include "ui/sheet/SaveFileDialog.h"

#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/BlockingExchange.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

#include <vector>

namespace {

class QtSaveFileDialog : public SaveFileDialog {
public:
    bool AskSavePath(const std::string& defaultExtension, const std::string& filter,
                     std::string& path) override {
        const BlockingExchange::ModalPause pause;
        QFileDialog dialog(AppMainWindow());
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters(
            QString::fromStdString(PipeFilterToQt(filter)).split(QStringLiteral(";;")));
        // "plot2" with the SVG filter chosen is "plot2.svg", not a PNG
        const auto followFilter = [&dialog, defaultExtension](const QString& entry) {
            dialog.setDefaultSuffix(
                QString::fromStdString(SuffixForFilter(entry.toStdString(), defaultExtension)));
        };
        followFilter(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, followFilter);
        if (!lastFolder.isEmpty())
            dialog.setDirectory(lastFolder);
        // Overwriting an existing file asks first (QFileDialog's default in save mode).
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return false;
        const QString chosen = dialog.selectedFiles().first();
        lastFolder = QFileInfo(chosen).absolutePath();
        path = chosen.toStdString();
        return true;
    }

private:
    QString lastFolder; // of the last file chosen in this run, for every save dialog
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

std::string SuffixForFilter(const std::string& entry, const std::string& defaultExtension) {
    const size_t open = entry.rfind('(');
    if (open == std::string::npos)
        return defaultExtension;
    const size_t start = open + 1;
    const size_t end = entry.find_first_of(" )", start);
    const std::string pattern = entry.substr(start, end == std::string::npos ? end : end - start);
    if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0 ||
        pattern.find_first_of("*?[", 2) != std::string::npos)
        return defaultExtension;
    return pattern.substr(2);
}
