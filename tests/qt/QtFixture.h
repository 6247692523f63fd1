#pragma once

#include "qt/FormView.h"
#include "qt/QtPlatform.h"
#include "qt/QtText.h"
#include "services/ui/Application.h"
#include "services/ui/TForm.h"

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>

// A real Qt platform installed as the application's, for forms built in a test.
class QtFixture : public ::testing::Test {
protected:
    QtPlatform platform;
    Application app{platform, nullptr};
    ApplicationScope scope{app};

    // Shows the form as a window and waits until Qt laid it out.
    FormView& show(TForm& form) {
        form.Show();
        FormView* view = platform.viewOf(form);
        EXPECT_NE(view, nullptr);
        QWidget* window = view->window()->window();
        window->activateWindow();
        (void)QTest::qWaitForWindowExposed(window);
        QApplication::processEvents();
        return *view;
    }

    template <class W = QWidget> W* widget(TForm& form, const std::string& name) {
        FormView* view = platform.viewOf(form);
        return view ? qobject_cast<W*>(view->widgetNamed(name)) : nullptr;
    }
};
