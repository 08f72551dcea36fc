// An exception inside a handler of the list stays inside its window: the
// click that raised it changes nothing, and the list and its window go on.
#include <gtest/gtest.h>

#include <new>

#include "dicom_builder.h"
#include "framework/reflection.h"
#include "view/velk_view.h"
#include "view_test_support.h"

namespace velk {

namespace {

using namespace viewtest;

// A view whose every expand fails as an exhausted heap would make it fail.
class CFailingExpandView : public CVelkView {
public:
    using CVelkView::CVelkView;
    void ExpandRow(int) override { throw std::bad_alloc(); }

    // Counts the paints of the list that reach its drawing.
    bool ProcessWindowMessage(CMessage& m) override {
        if (m.message == OCM_NOTIFY && m.Notification()->code == NM_CUSTOMDRAW &&
            reinterpret_cast<NMCUSTOMDRAW*>(m.lParam)->dwDrawStage == CDDS_PREPAINT)
            ++paints;
        return CVelkView::ProcessWindowMessage(m);
    }
    int paints = 0;

    // Whether a repaint asked for now reaches the drawing.
    bool Paints() {
        const int before = paints;
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return paints > before;
    }
};

// A plain window that sends its controls' notifications back to them.
class CReflectingHost : public CWindowImpl<CReflectingHost> {
public:
    bool ProcessWindowMessage(CMessage& m) override {
        return CWindowImpl::ProcessWindowMessage(m) || ReflectNotifications(m);
    }
};

class ViewExceptions : public DocumentsTest {};

TEST_F(ViewExceptions, AFailingExpandChangesNothingAndTheListGoesOn) {
    test::dicom_builder b;
    b.preamble().transfer_syntax(test::explicit_le_uid());
    b.sequence(0x0008, 0x1140).item().explicit_element(0x0008, 0x1150, "UI", "1.23");
    b.item_end().sequence_end();
    b.explicit_element(0x0010, 0x0010, "PN", "Doe^");
    const std::wstring path = RunFolder() + L"failing.dcm";
    ASSERT_TRUE(WriteFile(path, b.bytes()));

    CReflectingHost host;
    const RECT place{0, 0, 800, 500};
    ASSERT_TRUE(host.Create(m_frame, &place, nullptr, WS_CHILD | WS_VISIBLE));
    dcm_document document;
    CFailingExpandView view(document);
    ASSERT_TRUE(view.Create(host, &place, nullptr, kViewStyle, kViewExStyle));
    document.load(path.c_str());
    ASSERT_EQ(ItemCount(view), 7);

    ClickIcon(view, 1);
    ASSERT_EQ(ItemCount(view), 3);
    ClickIcon(view, 1);  // the expand throws inside the window procedure
    EXPECT_EQ(ItemCount(view), 3);
    EXPECT_EQ(ReadCell(view, 1, 0).image, 2);  // still collapsed
    EXPECT_EQ(ReadCell(view, 2, 4).text, L"Doe^");

    EXPECT_TRUE(view.Paints());  // drawing is on again
    ::SendMessageW(view, WM_COMMAND, kRefreshCommand, 0);
    EXPECT_EQ(ItemCount(view), 7);
    ::SendMessageW(view, WM_SETREDRAW, FALSE, 0);
    EXPECT_FALSE(view.Paints());  // what the check above relies on
    ::SendMessageW(view, WM_SETREDRAW, TRUE, 0);
    view.DestroyWindow();
    host.DestroyWindow();
}

}  // namespace

}  // namespace velk
