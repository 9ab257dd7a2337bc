#include "tests/sim/simpc.h"
#include "tests/unit/support.h"

#include <gtest/gtest.h>

namespace {

struct Child {
    std::string className, text;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM children) {
    char name[260] = {}, text[260] = {};
    GetClassNameA(child, name, sizeof name);
    DWORD_PTR result = 0;
    // As the system asks: a hung window costs at most the timeout.
    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                        5000, &result);
    reinterpret_cast<std::vector<Child>*>(children)->push_back({name, text});
    return TRUE;
}

std::vector<Child> ChildrenOf(HWND window) {
    std::vector<Child> children;
    EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

TEST(FolderWindow, IsFoundByClassAndTitleWithItsAddressChild) {
    struct Case {
        const char* addressClass;
        const char* text;
    } cases[] = {{"Edit", "E:\\"}, {"ToolbarWindow32", "Address: E:\\Setup"}};
    for (const Case& c : cases) {
        sim::FolderWindowSpec spec;
        spec.title = std::string("Medium ") + c.addressClass;
        spec.addressClass = c.addressClass;
        spec.addressText = c.text;
        spec.visible = c.addressClass[0] == 'E'; // one of each
        sim::FolderWindow window(spec);
        ASSERT_TRUE(window.IsOpen()) << window.Failure().Message();
        EXPECT_EQ(window.Handle(), FindWindowA("CabinetWClass", spec.title.c_str()));
        std::vector<Child> children = ChildrenOf(window.Handle());
        ASSERT_EQ(1u, children.size()) << c.addressClass;
        EXPECT_EQ(c.addressClass, children[0].className);
        EXPECT_EQ(c.text, children[0].text);
    }
}

TEST(FolderWindow, AnyClassNamesServeForWindowsThatMustNotBeClosed) {
    sim::FolderWindowSpec spec;
    spec.title = "Not a folder";
    spec.topClass = "SimpcOtherWClass";
    spec.addressClass = "SimpcAddressBox";
    spec.addressText = "E:\\";
    spec.visible = false;
    sim::FolderWindow window(spec);
    ASSERT_TRUE(window.IsOpen()) << window.Failure().Message();
    EXPECT_EQ(window.Handle(), FindWindowA("SimpcOtherWClass", "Not a folder"));
    EXPECT_EQ(nullptr, FindWindowA("CabinetWClass", "Not a folder"));
    std::vector<Child> children = ChildrenOf(window.Handle());
    ASSERT_EQ(1u, children.size());
    EXPECT_EQ("SimpcAddressBox", children[0].className);
    EXPECT_EQ("E:\\", children[0].text);

    // A system class cannot be the folder window's own.
    sim::FolderWindowSpec taken = spec;
    taken.topClass = "Button";
    sim::FolderWindow refused(taken);
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_NE(std::string::npos, refused.Failure().Message().find("Button")) << refused.Failure().Message();
}

TEST(FolderWindow, WmCloseEndsItAndIsJournaled) {
    testsupport::TempDir dir;
    sim::FolderWindowSpec spec;
    spec.title = "Closing";
    spec.addressText = "F:\\";
    spec.journal = dir.File("journal.txt");
    spec.visible = false;
    sim::FolderWindow first(spec);
    spec.title = "Staying";
    sim::FolderWindow second(spec);
    ASSERT_TRUE(first.IsOpen() && second.IsOpen());
    EXPECT_FALSE(first.WaitClosed(100));
    EXPECT_EQ("", testsupport::ReadWholeFile(spec.journal));

    ASSERT_TRUE(PostMessageA(first.Handle(), WM_CLOSE, 0, 0));
    EXPECT_TRUE(first.WaitClosed(10000));
    EXPECT_FALSE(first.IsOpen());
    EXPECT_EQ(nullptr, FindWindowA("CabinetWClass", "Closing"));
    EXPECT_TRUE(second.IsOpen());
    EXPECT_EQ("closed Closing\r\n", testsupport::ReadWholeFile(spec.journal));
}

} // namespace
