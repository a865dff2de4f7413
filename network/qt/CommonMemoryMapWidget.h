#pragma once
#include <QWidget>
#include <functional>
#include <vector>

#include "network/CommonMemoryMap.h"

class CNetworkPlan;

// Paints the network's common memory picture (CCommonMemoryMap) as the SVG shows it, laid out
// again for the widget's width; a tool tip names the block or mark under the mouse.
class CCommonMemoryMapWidget : public QWidget {
    Q_OBJECT
public:
    explicit CCommonMemoryMapWidget(QWidget* parent = nullptr);

    // Both outlive the widget's use of them; null plan: nothing to draw.
    void SetNetwork(const CNetworkPlan* plan, const std::vector<NetworkFinding>* findings);
    const CCommonMemoryMap& Map() const { return m_map; }

    // A click on a block (its sending node) or a mark (the node whose table it is).
    std::function<void(int node)> onNodeClicked;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void Rebuild();

    const CNetworkPlan* m_plan = nullptr;
    const std::vector<NetworkFinding>* m_findings = nullptr;
    CCommonMemoryMap m_map;
};
