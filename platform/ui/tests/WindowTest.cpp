#include "platform/ui/Window.h"
#include "platform/ui/WaitCursor.h"

#include <QApplication>
#include <QCursor>

#include <QDialog>
#include <QMainWindow>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

TEST(WindowTest, MainWindowIsTheVisibleMainWindow) {
    QDialog dialog;
    dialog.show();
    QMainWindow hidden;
    EXPECT_EQ(AfxGetMainWnd(), nullptr);

    QMainWindow main;
    main.show();
    EXPECT_EQ(AfxGetMainWnd(), &main);
    main.hide();
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}

TEST(WindowTest, DisablerRestoresOnlyWhatItDisabled) {
    QWidget window;
    {
        WindowDisabler outer;
        outer.Disable(&window);
        EXPECT_FALSE(window.isEnabled());
        {
            // A nested dialog leaves the window disabled for the outer one.
            WindowDisabler inner;
            inner.Disable(&window);
            EXPECT_FALSE(window.isEnabled());
        }
        EXPECT_FALSE(window.isEnabled());
        outer.Restore();
        EXPECT_TRUE(window.isEnabled());
        outer.Restore();
        EXPECT_TRUE(window.isEnabled());
    }
    EXPECT_TRUE(window.isEnabled());

    WindowDisabler none;
    none.Disable(nullptr);
    none.Restore();
}

TEST(WindowTest, DisablerForgetsADestroyedWindow) {
    WindowDisabler disabler;
    auto window = std::make_unique<QWidget>();
    disabler.Disable(window.get());
    EXPECT_FALSE(window->isEnabled());
    window.reset();
    disabler.Restore(); // must not touch the dead window

    QWidget other;
    disabler.Disable(&other);
    EXPECT_FALSE(other.isEnabled());
    disabler.Disable(nullptr); // switching restores the previous window
    EXPECT_TRUE(other.isEnabled());
}

TEST(WindowTest, OwnedWindowStaysEnabledWhenTheOwnerIsDisabled) {
    QMainWindow owner;
    owner.show();
    QDialog dialog;
    SetOwnerWindow(&dialog, &owner);
    dialog.show();
    ASSERT_NE(dialog.windowHandle(), nullptr);
    EXPECT_EQ(dialog.windowHandle()->transientParent(), owner.windowHandle());
    EXPECT_EQ(dialog.parentWidget(), nullptr);
    owner.setEnabled(false);
    EXPECT_TRUE(dialog.isEnabled());

    QDialog alone;
    SetOwnerWindow(&alone, nullptr);
    alone.show();
    EXPECT_EQ(alone.windowHandle()->transientParent(), nullptr);
}

TEST(WindowTest, ShowStatesMinimizeMaximizeAndRestore) {
    QMainWindow window;
    ShowWindow(&window, SW_SHOWMAXIMIZED);
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMaximized());
    // Minimized from maximized: it comes back maximized.
    ShowWindow(&window, SW_SHOWMINNOACTIVE);
    EXPECT_TRUE(window.isMinimized());
    EXPECT_TRUE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    ShowWindow(&window, SW_RESTORE);
    EXPECT_FALSE(window.isMinimized());
    EXPECT_TRUE(window.isMaximized());
    EXPECT_FALSE(window.testAttribute(Qt::WA_ShowWithoutActivating));
    ShowWindow(&window, SW_SHOWNORMAL);
    EXPECT_FALSE(window.isMaximized());
    ShowWindow(&window, SW_HIDE);
    EXPECT_FALSE(window.isVisible());
    ShowWindow(nullptr, SW_SHOW);
}

TEST(WindowTest, WaitCursorsStackAndRestore) {
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    {
        CWaitCursor outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        CWaitCursor inner;
        inner.Restore();
        inner.Restore();
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}
