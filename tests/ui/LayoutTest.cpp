// Aligned children, docking and message hooks of the window framework.
#include <gtest/gtest.h>

#include "ui/Application.h"
#include "ui/Form.h"

using namespace kv;

namespace {
class TestForm : public Form {
public:
    int shows = 0, keys = 0;
    void FormShow() override { ++shows; }
    void FormKeyDown(WORD& key, ShiftState) override {
        ++keys;
        key = 0;
    }
};
}  // namespace

TEST(Layout, AlignedChildrenShareTheClientAreaInOrder) {
    TestForm f;
    ASSERT_TRUE(f.createForm("KvTestForm", "t", 0, 0, 400, 300, WS_POPUP));
    Panel top(&f), bottom(&f), right(&f), client(&f);
    top.create(0, 0, 10, 40);
    top.setAlign(Align::Top);
    bottom.create(0, 0, 10, 59);
    bottom.setAlign(Align::Bottom);
    right.create(0, 0, 100, 10);
    right.setAlign(Align::Right);
    client.create();
    client.setAlign(Align::Client);
    EXPECT_EQ(top.width(), 400);
    EXPECT_EQ(bottom.top(), 300 - 59);
    EXPECT_EQ(right.left(), 300);
    EXPECT_EQ(right.height(), 300 - 40 - 59);
    EXPECT_EQ(client.width(), 300);
    right.setVisible(false);
    EXPECT_EQ(client.width(), 400);
    f.setBounds(0, 0, 500, 300);
    EXPECT_EQ(client.width(), 500);
}

TEST(Layout, DockedFormFillsItsHostAndIsAChild) {
    TestForm host, docked;
    ASSERT_TRUE(host.createForm("KvTestForm", "host", 0, 0, 300, 200, WS_POPUP));
    ASSERT_TRUE(docked.createForm("KvTestForm", "docked", 0, 0, 50, 50, WS_POPUP | WS_CAPTION));
    Panel area(&host);
    area.create(10, 10, 120, 80);
    docked.dock(area);
    docked.show();
    EXPECT_EQ(GetParent(docked.handle()), area.handle());
    EXPECT_TRUE(GetWindowLongA(docked.handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_FALSE(GetWindowLongA(docked.handle(), GWL_STYLE) & WS_CAPTION);
    EXPECT_EQ(docked.width(), 120);
    EXPECT_EQ(docked.height(), 80);
    EXPECT_EQ(docked.shows, 1);
}

TEST(Layout, HooksSeeQueuedMessagesAndTheOuterFormPreviewsKeys) {
    TestForm outer, inner;
    ASSERT_TRUE(outer.createForm("KvTestForm", "outer", 0, 0, 300, 200, WS_POPUP));
    ASSERT_TRUE(inner.createForm("KvTestForm", "inner", 0, 0, 50, 50, WS_POPUP));
    Panel area(&outer);
    area.create(0, 0, 100, 100);
    inner.dock(area);
    int seen = 0;
    const UINT probe = WM_APP + 7;
    int id = Application::instance().addMessageHook([&](MSG& m) {
        if (m.message == probe) ++seen;
        return m.message == probe;  // swallowed
    });
    PostMessageA(inner.handle(), probe, 0, 0);
    PostMessageA(inner.handle(), WM_KEYDOWN, 'P', 0);
    Application::instance().processMessages();
    Application::instance().removeMessageHook(id);
    EXPECT_EQ(seen, 1);
    EXPECT_EQ(outer.keys, 1);
    EXPECT_EQ(inner.keys, 0);
}
