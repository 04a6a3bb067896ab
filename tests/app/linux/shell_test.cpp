// The display-free parts of the Linux shell: where the page is looked for, and the drawn icon.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app_icon.h"
#include "base_dir.h"

namespace fs = std::filesystem;

namespace {

struct TempTree {
  fs::path root;
  TempTree() {
    std::string pattern = (fs::temp_directory_path() / "velmora-base.XXXXXX").string();
    root = mkdtemp(pattern.data());
    fs::create_directories(root / "a/b/bin");
  }
  ~TempTree() { fs::remove_all(root); }
  void page(const fs::path& dir) {
    fs::create_directories(root / dir / "web");
    std::ofstream(root / dir / "web/index.html") << "<!doctype html>";
  }
};

TEST(BaseDir, PageBesideTheProgramOrOneOrTwoFoldersUpThenTheInstalledDataFolder) {
  struct Case {
    const char* pageIn;  // nullptr: no page anywhere
    const char* expected;
  };
  const Case cases[] = {
      {"a/b/bin", "a/b/bin"},
      {"a/b", "a/b"},
      {"a", "a"},
      {"share/velmora-checker", "share/velmora-checker"},
      {nullptr, "a"},  // untested grandparent
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pageIn ? c.pageIn : "nowhere");
    TempTree tree;
    if (c.pageIn) tree.page(c.pageIn);
    EXPECT_EQ(findAppBaseDir((tree.root / "a/b/bin").string(),
                             (tree.root / "share/velmora-checker").string()),
              (tree.root / c.expected).string());
  }
}

TEST(BaseDir, TheNearestPageWinsAndAFolderNamedLikeThePageCounts) {
  TempTree tree;
  tree.page("a");
  tree.page("share/velmora-checker");  // the program's own folders come first
  fs::create_directories(tree.root / "a/b/web/index.html");
  EXPECT_EQ(findAppBaseDir((tree.root / "a/b/bin").string(),
                           (tree.root / "share/velmora-checker").string()),
            (tree.root / "a/b").string());
}

TEST(BaseDir, TheProgramDirectoryIsWhereThisTestLives) {
  EXPECT_TRUE(fs::exists(fs::path(programDirectory()) / "shell_test"));
}

struct Pixel {
  unsigned a, r, g, b;
};

Pixel pixelAt(cairo_surface_t* surface, int x, int y) {
  const unsigned char* row =
      cairo_image_surface_get_data(surface) + y * cairo_image_surface_get_stride(surface);
  const uint32_t argb = reinterpret_cast<const uint32_t*>(row)[x];  // premultiplied, native
  return {argb >> 24, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF};
}

// Points named as factors of the size, so one table checks every size the window gets.
TEST(AppIcon, ShieldOutlineAndCheckMarkAtEverySize) {
  struct Probe {
    const char* what;
    float fx, fy;
    Pixel expected;  // exact for the opaque cases, alpha only for the transparent ones
  };
  const Probe probes[] = {
      {"corner", 0.02f, 0.02f, {0, 0, 0, 0}},
      {"left of the shield", 0.05f, 0.50f, {0, 0, 0, 0}},
      {"beside the tip", 0.30f, 0.97f, {0, 0, 0, 0}},
      {"shield body", 0.62f, 0.72f, {255, 0x0F, 0x17, 0x2A}},
      {"top outline", 0.50f, 0.09f, {255, 0x38, 0xBD, 0xF8}},
      {"right outline", 0.82f, 0.35f, {255, 0x38, 0xBD, 0xF8}},
      {"check mark corner", 0.46f, 0.64f, {255, 0x22, 0xC5, 0x5E}},
      {"check mark long stroke", 0.57f, 0.50f, {255, 0x22, 0xC5, 0x5E}},
  };
  for (int size : {32, 48, 64, 128, 256}) {
    cairo_surface_t* icon = drawAppIcon(size);
    ASSERT_EQ(cairo_image_surface_get_width(icon), size);
    for (const Probe& p : probes) {
      SCOPED_TRACE(std::to_string(size) + " px, " + p.what);
      const Pixel got = pixelAt(icon, static_cast<int>(p.fx * size), static_cast<int>(p.fy * size));
      EXPECT_EQ(got.a, p.expected.a);
      if (p.expected.a == 255) {
        EXPECT_EQ(got.r, p.expected.r);
        EXPECT_EQ(got.g, p.expected.g);
        EXPECT_EQ(got.b, p.expected.b);
      }
    }
    cairo_surface_destroy(icon);
  }
}

TEST(AppIcon, SixSizesForTheWindow) {
  GList* icons = createAppIcons();
  std::vector<int> sizes;
  for (GList* i = icons; i != nullptr; i = i->next) {
    sizes.push_back(gdk_pixbuf_get_width(GDK_PIXBUF(i->data)));
    EXPECT_TRUE(gdk_pixbuf_get_has_alpha(GDK_PIXBUF(i->data)));
  }
  g_list_free_full(icons, g_object_unref);
  EXPECT_EQ(sizes, (std::vector<int>{16, 32, 48, 64, 128, 256}));
}

}  // namespace
