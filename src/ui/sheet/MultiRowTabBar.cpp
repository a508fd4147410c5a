#include "ui/sheet/MultiRowTabBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabBar>

MultiRowTabBar::MultiRowTabBar(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

int MultiRowTabBar::AddTab(const QString& text) {
    texts.append(text);
    if (current < 0)
        current = 0;
    Relayout();
    updateGeometry();
    return Count() - 1;
}

void MultiRowTabBar::SetCurrentIndex(int index) {
    if (index < 0 || index >= Count() || index == current)
        return;
    current = index;
    Relayout();
    update();
}

QSize MultiRowTabBar::TabSizeHint(int index) const {
    QStyleOptionTab option;
    option.initFrom(this);
    option.shape = QTabBar::RoundedNorth;
    option.text = texts.value(index);
    const QFontMetrics metrics = fontMetrics();
    const int hspace = style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &option, this);
    const int vspace = style()->pixelMetric(QStyle::PM_TabBarTabVSpace, &option, this);
    const QSize content(metrics.horizontalAdvance(option.text) + hspace, metrics.height() + vspace);
    return style()->sizeFromContents(QStyle::CT_TabBarTab, &option, content, this);
}

std::vector<std::vector<int>> MultiRowTabBar::Rows(int width) const {
    std::vector<std::vector<int>> rows;
    int used = 0;
    for (int i = 0; i < Count(); ++i) {
        const int w = TabSizeHint(i).width();
        if (rows.empty() || (used + w > width && !rows.back().empty())) {
            rows.emplace_back();
            used = 0;
        }
        rows.back().push_back(i);
        used += w;
    }
    return rows;
}

int MultiRowTabBar::heightForWidth(int width) const {
    int tabHeight = 0;
    for (int i = 0; i < Count(); ++i)
        tabHeight = std::max(tabHeight, TabSizeHint(i).height());
    return static_cast<int>(Rows(width).size()) * tabHeight;
}

int MultiRowTabBar::RowCount() const {
    return rowCount;
}

int MultiRowTabBar::DisplayRowOfTab(int index) const {
    return index >= 0 && index < static_cast<int>(displayRow.size()) ? displayRow[index] : -1;
}

QRect MultiRowTabBar::TabRect(int index) const {
    return index >= 0 && index < static_cast<int>(rects.size()) ? rects[index] : QRect();
}

int MultiRowTabBar::TabAt(const QPoint& pos) const {
    for (int i = 0; i < static_cast<int>(rects.size()); ++i)
        if (rects[i].contains(pos))
            return i;
    return -1;
}

void MultiRowTabBar::Relayout() {
    const std::vector<std::vector<int>> rows = Rows(width());
    rowCount = static_cast<int>(rows.size());
    rects.assign(Count(), QRect());
    displayRow.assign(Count(), -1);
    if (rows.empty())
        return;
    int tabHeight = 0;
    for (int i = 0; i < Count(); ++i)
        tabHeight = std::max(tabHeight, TabSizeHint(i).height());
    int selectedRow = 0;
    for (int r = 0; r < rowCount; ++r)
        for (int tab : rows[r])
            if (tab == current)
                selectedRow = r;
    for (int r = 0; r < rowCount; ++r) {
        // The selected row is drawn last (at the bottom); the others keep their
        // cyclic order above it.
        const int fromBottom = (r - selectedRow + rowCount) % rowCount;
        const int shownRow = rowCount - 1 - fromBottom;
        int natural = 0;
        for (int tab : rows[r])
            natural += TabSizeHint(tab).width();
        // Several rows are stretched to the full width, as multi-row tab controls are.
        const int extra = rowCount > 1 ? std::max(0, width() - natural) : 0;
        const int count = static_cast<int>(rows[r].size());
        int x = 0;
        for (int k = 0; k < count; ++k) {
            const int tab = rows[r][k];
            int w = TabSizeHint(tab).width() + extra / count + (k < extra % count ? 1 : 0);
            if (rowCount > 1 && k == count - 1)
                w = width() - x;
            rects[tab] = QRect(x, shownRow * tabHeight, std::min(w, width() - x), tabHeight);
            displayRow[tab] = shownRow;
            x += w;
        }
    }
}

QSize MultiRowTabBar::sizeHint() const {
    int natural = 0;
    for (int i = 0; i < Count(); ++i)
        natural += TabSizeHint(i).width();
    const int w = width() > 0 ? width() : natural;
    return QSize(w, heightForWidth(w));
}

QSize MultiRowTabBar::minimumSizeHint() const {
    return sizeHint();
}

void MultiRowTabBar::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Relayout();
}

void MultiRowTabBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    auto paintTab = [&](int index) {
        QStyleOptionTab option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.rect = rects[index];
        option.text = texts[index];
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        const int row = displayRow[index];
        int first = -1, last = -1;
        for (int i = 0; i < Count(); ++i)
            if (displayRow[i] == row) {
                if (first < 0)
                    first = i;
                last = i;
            }
        option.position = first == last    ? QStyleOptionTab::OnlyOneTab
                          : index == first ? QStyleOptionTab::Beginning
                          : index == last  ? QStyleOptionTab::End
                                           : QStyleOptionTab::Middle;
        option.selectedPosition = QStyleOptionTab::NotAdjacent;
        if (index == current) {
            option.state |= QStyle::State_Selected;
            if (hasFocus())
                option.state |= QStyle::State_HasFocus;
        } else if (current == index - 1 && displayRow[current] == row) {
            option.selectedPosition = QStyleOptionTab::PreviousIsSelected;
        } else if (current == index + 1 && displayRow[current] == row) {
            option.selectedPosition = QStyleOptionTab::NextIsSelected;
        }
        style()->drawControl(QStyle::CE_TabBarTab, &option, &painter, this);
    };
    for (int i = 0; i < Count(); ++i)
        if (i != current)
            paintTab(i);
    if (current >= 0 && current < Count())
        paintTab(current);
}

void MultiRowTabBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int index = TabAt(event->position().toPoint());
    if (index >= 0 && index != current)
        emit tabRequested(index);
}

void MultiRowTabBar::keyPressEvent(QKeyEvent* event) {
    if (Count() > 0 && (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right)) {
        const int step = event->key() == Qt::Key_Left ? -1 : 1;
        const int next = current + step;
        if (next >= 0 && next < Count())
            emit tabRequested(next);
        return;
    }
    QWidget::keyPressEvent(event);
}
