#include "network/qt/CommonMemoryMapWidget.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "network/NetworkPlan.h"

namespace {

QColor Colour(const char* hex) {
    return QColor(QString::fromLatin1(hex));
}

QRectF Rect(const MapRect& r) {
    return QRectF(r.x, r.y, r.w, r.h);
}

void DrawText(QPainter& painter, const MapText& t) {
    QFont font = painter.font();
    font.setBold(t.bold);
    painter.setFont(font);
    const QString text = QString::fromStdString(t.text);
    const double width = painter.fontMetrics().horizontalAdvance(text);
    double x = t.x;
    if (t.anchor == "middle") x -= width / 2;
    if (t.anchor == "end") x -= width;
    painter.drawText(QPointF(x, t.y), text);
}

}  // namespace

CCommonMemoryMapWidget::CCommonMemoryMapWidget(QWidget* parent) : QWidget(parent) {
    setObjectName("memoryMap");
    setMouseTracking(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAutoFillBackground(false);
}

void CCommonMemoryMapWidget::SetNetwork(const CNetworkPlan* plan, const std::vector<NetworkFinding>* findings) {
    m_plan = plan;
    m_findings = findings;
    Rebuild();
}

void CCommonMemoryMapWidget::Rebuild() {
    static const std::vector<NetworkFinding> kNone;
    if (m_plan)
        m_map.Build(*m_plan, m_findings ? *m_findings : kNone, width());
    else
        m_map = CCommonMemoryMap();
    // The picture is as tall as its lanes need.
    setFixedHeight(static_cast<int>(m_map.Height()) + 1);
    update();
}

QSize CCommonMemoryMapWidget::sizeHint() const {
    return QSize(800, static_cast<int>(m_map.Height()) + 1);
}

QSize CCommonMemoryMapWidget::minimumSizeHint() const {
    return QSize(300, static_cast<int>(m_map.Height()) + 1);
}

void CCommonMemoryMapWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_plan && static_cast<int>(m_map.Width()) != width()) Rebuild();
}

void CCommonMemoryMapWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_plan) return;
    QFont font = painter.font();
    font.setPixelSize(11);
    painter.setFont(font);
    const QPen line(Colour(CCommonMemoryMap::kBarLine));
    painter.setPen(Colour(CCommonMemoryMap::kTextColour));
    DrawText(painter, m_map.Title());
    for (const auto& bar : m_map.Bars()) {
        painter.setPen(Colour(CCommonMemoryMap::kTextColour));
        DrawText(painter, bar.title);
        painter.setPen(line);
        painter.setBrush(Colour(CCommonMemoryMap::kBarFill));
        painter.drawRect(Rect(bar.rect));
        painter.setPen(QPen(Colour(CCommonMemoryMap::kBarLine), 1, Qt::DashLine));
        for (double x : bar.tickX) painter.drawLine(QPointF(x, bar.rect.y), QPointF(x, bar.rect.y + bar.rect.h + 3));
        painter.setPen(Colour(CCommonMemoryMap::kTextColour));
        for (const auto& t : bar.tickLabels) DrawText(painter, t);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Colour(CCommonMemoryMap::kZoneFill));
        for (const auto& z : m_map.Zones())
            if (z.area == bar.area) painter.drawRect(Rect(z.rect));
    }
    for (const auto& b : m_map.Blocks()) {
        painter.setPen(QPen(Colour(CCommonMemoryMap::BlockLine(b)), b.mismatch ? 2.5 : 1));
        painter.setBrush(Colour(CCommonMemoryMap::BlockFill(b)));
        painter.drawRect(Rect(b.rect));
        if (CCommonMemoryMap::LabelFits(b.rect, b.label)) {
            painter.setPen(Colour(CCommonMemoryMap::kTextColour));
            DrawText(painter, {b.rect.x + b.rect.w / 2, b.rect.y + b.rect.h / 2 + 4, b.label, "middle", false});
        }
    }
    for (const auto& m : m_map.Marks()) {
        painter.setPen(Colour(CCommonMemoryMap::kMismatchLine));
        painter.setBrush(Colour(CCommonMemoryMap::kMarkFill));
        painter.drawRect(Rect(m.rect));
        if (CCommonMemoryMap::LabelFits(m.rect, m.label)) {
            painter.setPen(Colour(CCommonMemoryMap::kTextColour));
            DrawText(painter, {m.rect.x + m.rect.w / 2, m.rect.y + m.rect.h - 3, m.label, "middle", false});
        }
    }
    const auto& swatches = m_map.Swatches();
    for (size_t i = 0; i < swatches.size(); ++i) {
        painter.setPen(line);
        painter.setBrush(Colour(swatches[i].second.c_str()));
        painter.drawRect(Rect(swatches[i].first));
        painter.setPen(Colour(CCommonMemoryMap::kTextColour));
        if (i < m_map.Legend().size()) DrawText(painter, m_map.Legend()[i]);
    }
}

bool CCommonMemoryMapWidget::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPointF p = help->pos();
        std::string tip;
        if (const MapBlock* b = m_map.BlockAt(p.x(), p.y()))
            tip = b->tip;
        else if (const MapMark* m = m_map.MarkAt(p.x(), p.y()))
            tip = m->tip;
        if (tip.empty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), QString::fromStdString(tip), this);
        return true;
    }
    return QWidget::event(event);
}

void CCommonMemoryMapWidget::mousePressEvent(QMouseEvent* event) {
    const QPointF p = event->position();
    int node = 0;
    if (const MapBlock* b = m_map.BlockAt(p.x(), p.y()))
        node = b->node;
    else if (const MapMark* m = m_map.MarkAt(p.x(), p.y()))
        node = m->byNode;
    if (node && onNodeClicked) onNodeClicked(node);
    QWidget::mousePressEvent(event);
}
