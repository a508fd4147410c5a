#include "calibration/plot/PlotPicture.h"

#include "calibration/core/CalibrationFile.h"
#include "calibration/plot/SweepPlot.h"
#include "ui/sheet/AppMessageBox.h"
#include "ui/sheet/SaveFileDialog.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace PlotPicture {

namespace {

// The picture is laid out at half its pixels and drawn twice as large, so
// its text and lines stand in the proportions they have on the page.
constexpr int layoutScale = 2;

bool IsSvgName(const std::string& path) {
    return QString::fromStdString(path).endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
}

void SaveAs(const SweepPlot& plot) {
    std::string path; // no initial name
    if (!CurrentSaveFileDialog().AskSavePath(
            "png", "PNG Images (*.png)|*.png|SVG Images (*.svg)|*.svg||", path))
        return;
    std::string errorText;
    if (!Write(plot, path, errorText))
        AppMessageBox(errorText);
}

} // namespace

void Paint(const SweepPlot& plot, QPainter& painter) {
    painter.scale(layoutScale, layoutScale);
    plot.PaintPicture(painter, QSize(pictureWidth / layoutScale, pictureHeight / layoutScale));
}

QImage Image(const SweepPlot& plot) {
    QImage image(pictureWidth, pictureHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    Paint(plot, painter);
    return image;
}

bool Write(const SweepPlot& plot, const std::string& path, std::string& errorText) {
    QByteArray bytes;
    QBuffer buffer(&bytes); // opened by the writer
    if (IsSvgName(path)) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(QSize(pictureWidth, pictureHeight));
        svg.setViewBox(QRect(0, 0, pictureWidth, pictureHeight));
        svg.setTitle(QStringLiteral("Sweep plot"));
        {
            QPainter painter(&svg);
            Paint(plot, painter);
        }
        // The generator states the size in mm, which readers turn into pixels
        // at 90 or 96 to the inch; in pixels it is the same everywhere.
        bytes = QString::fromUtf8(bytes)
                    .replace(QRegularExpression(R"(width="[0-9.]+mm" height="[0-9.]+mm")"),
                             QStringLiteral(R"(width="%1" height="%2")")
                                 .arg(pictureWidth)
                                 .arg(pictureHeight))
                    .toUtf8();
    } else {
        Image(plot).save(&buffer, "PNG");
    }
    // written as the calibration text file is, with the same messages on failure
    return CalibrationCore::WriteFileBytes(path, bytes.toStdString(), errorText);
}

void AddActions(SweepPlot& plot) {
    plot.setContextMenuPolicy(Qt::ActionsContextMenu);
    auto* save = new QAction(QStringLiteral("Save plot as..."), &plot);
    QObject::connect(save, &QAction::triggered, &plot, [&plot] { SaveAs(plot); });
    auto* copy = new QAction(QStringLiteral("Copy"), &plot);
    QObject::connect(copy, &QAction::triggered, &plot,
                     [&plot] { QGuiApplication::clipboard()->setImage(Image(plot)); });
    plot.addAction(save);
    plot.addAction(copy);
}

} // namespace PlotPicture
