#pragma once

#include <QRect>
#include <QStringList>
#include <QWidget>

#include <vector>

// A tab bar that wraps its tabs onto further rows instead of scrolling: every
// caption stays whole. Rows are stretched to the full width and the row of the
// selected tab lies at the bottom, next to the page. The bar never changes the
// selection by itself: it asks with tabRequested and the owner decides.
class MultiRowTabBar : public QWidget {
    Q_OBJECT
public:
    explicit MultiRowTabBar(QWidget* parent = nullptr);

    int AddTab(const QString& text);
    int Count() const { return static_cast<int>(texts.size()); }
    QString TabText(int index) const { return texts.value(index); }
    int CurrentIndex() const { return current; }
    void SetCurrentIndex(int index);

    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }
    int RowCount() const;
    // The row a tab is drawn in, 0 at the top.
    int DisplayRowOfTab(int index) const;
    QRect TabRect(int index) const;
    int TabAt(const QPoint& pos) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void tabRequested(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QSize TabSizeHint(int index) const;
    // Tabs of each row, in tab order; rows in tab order (row 0 holds tab 0).
    std::vector<std::vector<int>> Rows(int width) const;
    void Relayout();

    QStringList texts;
    int current = -1;
    std::vector<QRect> rects;
    std::vector<int> displayRow;
    int rowCount = 0;
};
