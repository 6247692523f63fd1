#include "qt/PageControlView.h"

#include "qt/AlignLayout.h"
#include "qt/FormView.h"
#include "qt/QtText.h"
#include "qt/TabSheetView.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TTabSheet.h"

#include <QTabBar>
#include <QTabWidget>

PageControlView::PageControlView(FormView& form, TPageControl& pages)
    : ControlView(form, pages), m_pages(pages) {
    m_tabs = new QTabWidget;
    m_tabs->setFocusPolicy(Qt::TabFocus);
    m_tabs->tabBar()->setFocusPolicy(Qt::NoFocus);
    m_tabs->setDocumentMode(false);
    // Tabs that do not fit scroll with the bar's arrows; none is shortened or cut.
    m_tabs->setUsesScrollButtons(true);
    m_tabs->setElideMode(Qt::ElideNone);
    // Twelve budget lines must fit on one row at 1280 pixels: tabs take little padding.
    m_tabs->tabBar()->setStyleSheet(
        QStringLiteral("QTabBar::tab { padding: 4px 6px; font-size: 11px; }"));
    QObject::connect(m_tabs->tabBar(), &QTabBar::tabBarClicked, context(),
                     [this](int index) { tabChosen(index); });
    QObject::connect(m_tabs, &QTabWidget::currentChanged, context(), [this](int) {
        // Qt moved the tab by itself (keyboard on the tab bar): the page control decides.
        if (!m_updating) showActive();
    });
    setWidget(m_tabs);
}

void PageControlView::tabChosen(int index) {
    if (m_updating || index < 0) return;
    QWidget* page = m_tabs->widget(index);
    for (TTabSheet* sheet : m_pages.Pages()) {
        ControlView* view = m_form.viewOf(sheet);
        if (view && view->widget() == page) {
            TPageControl* target = &m_pages;
            dispatch([target, sheet] { target->SelectPage(sheet); });
            break;
        }
    }
    showActive();
}

void PageControlView::showActive() {
    TTabSheet* active = m_pages.ActivePage();
    ControlView* view = active ? m_form.viewOf(active) : nullptr;
    m_updating = true;
    if (view && view->widget()) m_tabs->setCurrentWidget(view->widget());
    m_updating = false;
}

void PageControlView::refreshTabs() {
    m_updating = true;
    for (TTabSheet* sheet : m_pages.Pages()) {
        ControlView* view = m_form.viewOf(sheet);
        if (!view || !view->widget()) continue;
        const int index = m_tabs->indexOf(view->widget());
        if (index < 0) continue;
        m_tabs->setTabText(index, toQtCaption(sheet->Caption()));
        m_tabs->setTabVisible(index, sheet->TabVisible());
        m_tabs->setTabEnabled(index, sheet->Enabled());
    }
    m_updating = false;
    showActive();
}

void PageControlView::addChild(ControlView& child) {
    auto* sheetView = dynamic_cast<TabSheetView*>(&child);
    if (!sheetView || !child.widget()) {
        ControlView::addChild(child);
        return;
    }
    // Tabs stand in page order whatever the order the views were made in.
    int position = 0;
    for (TTabSheet* sheet : m_pages.Pages()) {
        if (sheet == &sheetView->sheet()) break;
        ControlView* before = m_form.viewOf(sheet);
        if (before && before->widget() && m_tabs->indexOf(before->widget()) >= 0) ++position;
    }
    m_updating = true;
    m_tabs->insertTab(position, child.widget(), toQtCaption(sheetView->sheet().Caption()));
    m_updating = false;
    refreshTabs();
}

void PageControlView::removeChild(ControlView& child) {
    if (!child.widget()) return;
    const int index = m_tabs->indexOf(child.widget());
    if (index < 0) return;
    m_updating = true;
    m_tabs->removeTab(index);
    m_updating = false;
}

void PageControlView::sync(Property property) {
    switch (property) {
    case Property::ActivePage:
        showActive();
        break;
    case Property::Items:
    case Property::TabVisible:
        refreshTabs();
        break;
    default:
        ControlView::sync(property);
    }
}
