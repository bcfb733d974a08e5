// The notice over the top of the multi-line box: one line on a pale band,
// cut with an ellipsis when it is wider than the view. It is drawn over the
// rows, so the text under it keeps its place, and the next change of the
// text takes it away (text_view.cpp).
#include "platform/text_view/text_view.h"

#include <QAccessible>
#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

namespace mt::platform {
namespace {

const QColor kNoticeBand(0xFF, 0xF1, 0xC4);
const QColor kNoticeEdge(0xD9, 0xB2, 0x4C);
const QColor kNoticeText(0x5C, 0x3D, 0x00);
constexpr int kNoticePadding = 4;

// The band's font: the window's own, whatever the box's font and zoom are.
QFont NoticeFont(const QWidget* view) { return QApplication::font(view); }

} // namespace

void TextView::setNotice(const QString& notice)
{
    // One line: line breaks in it read as blanks.
    QString line = notice;
    line.replace(QLatin1String("\r\n"), QLatin1String(" "));
    line.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    if (line == notice_)
        return;
    const QRect before = noticeRect();
    notice_ = line;
    viewport()->update(before.united(noticeRect()));
    if (QAccessible::isActive()) { // assistive tools say it with the box's description
        QAccessibleEvent changed(this, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&changed);
    }
}

QRect TextView::noticeRect() const
{
    if (notice_.isEmpty())
        return {};
    const QFontMetrics fm(NoticeFont(this));
    return QRect(0, 0, viewport()->width(), std::min(viewport()->height(), fm.height() + 2 * kNoticePadding));
}

void TextView::paintNotice(QPainter* p) const
{
    const QRect band = noticeRect();
    if (band.isEmpty())
        return;
    p->save();
    p->fillRect(band, kNoticeBand);
    p->setPen(kNoticeEdge);
    p->drawLine(band.bottomLeft(), band.bottomRight());
    p->setFont(NoticeFont(this));
    p->setPen(kNoticeText);
    const QRect inside = band.adjusted(kNoticePadding + 2, 0, -(kNoticePadding + 2), 0);
    const QString shown = QFontMetrics(p->font()).elidedText(notice_, Qt::ElideRight, inside.width());
    p->drawText(inside, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, shown);
    p->restore();
}

} // namespace mt::platform
