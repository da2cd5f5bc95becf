// Checks the committed artwork as the resource compiler and the screens will use it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

const std::string ResourcesDir = GRADEWICK_RESOURCES_DIR;

struct Rgb {
    int r = 0, g = 0, b = 0;
    auto operator<=>(const Rgb&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

const Rgb LightGrey{192, 192, 192};
const Rgb VerdictGrey{194, 194, 194}; // the "normal" picture's own grey

std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

unsigned U16(const std::vector<std::uint8_t>& d, std::size_t at) {
    return d.at(at) | (d.at(at + 1) << 8);
}

std::uint32_t U32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return U16(d, at) | (static_cast<std::uint32_t>(U16(d, at + 2)) << 16);
}

std::int32_t I32(const std::vector<std::uint8_t>& d, std::size_t at) {
    return static_cast<std::int32_t>(U32(d, at));
}

// An uncompressed bitmap file with a BITMAPINFOHEADER, 8 bits with a palette or 24 bits.
struct Bitmap {
    int width = 0;
    int height = 0;
    int bits = 0;
    std::vector<Rgb> palette;
    std::vector<Rgb> pixels; // top row first

    Rgb At(int x, int y) const { return pixels.at(static_cast<std::size_t>(y) * width + x); }
};

// Reads `path`; on anything a Windows bitmap loader would refuse, records a failure and
// returns false.
bool LoadBitmap(const std::string& path, Bitmap& bmp) {
    const auto d = ReadFile(path);
    if (d.size() < 54 || d[0] != 'B' || d[1] != 'M') {
        ADD_FAILURE() << path << ": not a bitmap file";
        return false;
    }
    EXPECT_EQ(U32(d, 2), d.size()) << path << ": file size field";
    const std::uint32_t offset = U32(d, 10);
    EXPECT_EQ(U32(d, 14), 40u) << path << ": header is not a BITMAPINFOHEADER";
    bmp.width = I32(d, 18);
    const std::int32_t storedHeight = I32(d, 22);
    bmp.height = storedHeight < 0 ? -storedHeight : storedHeight;
    EXPECT_EQ(U16(d, 26), 1u) << path << ": planes";
    bmp.bits = static_cast<int>(U16(d, 28));
    EXPECT_EQ(U32(d, 30), 0u) << path << ": compressed (BI_RGB expected)";
    if (bmp.bits != 8 && bmp.bits != 24) {
        ADD_FAILURE() << path << ": " << bmp.bits << " bits per pixel";
        return false;
    }
    if (bmp.bits == 8) {
        const std::uint32_t used = U32(d, 46) == 0 ? 256 : U32(d, 46);
        EXPECT_LE(used, 256u) << path;
        if (14 + 40 + 4 * used > offset) {
            ADD_FAILURE() << path << ": palette runs into the pixels";
            return false;
        }
        for (std::uint32_t i = 0; i < used; ++i) {
            const std::size_t at = 14 + 40 + 4 * i;
            bmp.palette.push_back({d[at + 2], d[at + 1], d[at]});
        }
    }
    const std::size_t stride = (static_cast<std::size_t>(bmp.width) * bmp.bits + 31) / 32 * 4;
    if (bmp.width <= 0 || offset + stride * bmp.height > d.size()) {
        ADD_FAILURE() << path << ": pixel data missing";
        return false;
    }
    for (int y = 0; y < bmp.height; ++y) {
        const int stored = storedHeight > 0 ? bmp.height - 1 - y : y;
        const std::size_t row = offset + stride * stored;
        for (int x = 0; x < bmp.width; ++x) {
            if (bmp.bits == 8) {
                const std::uint8_t index = d[row + x];
                if (index >= bmp.palette.size()) {
                    ADD_FAILURE() << path << ": pixel index beyond the palette";
                    return false;
                }
                bmp.pixels.push_back(bmp.palette[index]);
            } else {
                const std::size_t at = row + 3 * static_cast<std::size_t>(x);
                bmp.pixels.push_back({d[at + 2], d[at + 1], d[at]});
            }
        }
    }
    return true;
}

struct Picture {
    const char* resource; // as named in the resource script
    int width;
    int height;
    int bits;
    Rgb background;
};

std::ostream& operator<<(std::ostream& out, const Picture& p) {
    return out << p.resource;
}

std::string FileOf(const Picture& p) {
    std::string name = p.resource;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ResourcesDir + "/bitmaps/" + name + ".bmp";
}

std::vector<Picture> AllPictures() {
    std::vector<Picture> all = {
        {"CGPASPLASH", 400, 279, 8, LightGrey}, {"ABOUT", 400, 279, 8, LightGrey},
        {"TWIN", 100, 300, 8, LightGrey},       {"GRADUATE", 76, 100, 8, LightGrey},
        {"PICTURE1", 41, 40, 24, LightGrey},    {"PICTURE2", 38, 38, 24, LightGrey},
        {"DIPLOMA", 100, 100, 8, LightGrey},    {"GOOD", 180, 203, 8, LightGrey},
        {"BAD", 180, 203, 8, LightGrey},        {"NORMAL", 180, 202, 8, VerdictGrey},
    };
    static const std::array<std::string, 24> tabNames = [] {
        std::array<std::string, 24> names;
        for (int k = 1; k <= 8; ++k) {
            names[k - 1] = "PIC" + std::to_string(k);
            names[k + 7] = "PIC" + std::to_string(k) + "CLICK";
            names[k + 15] = "MOUSE" + std::to_string(k);
        }
        return names;
    }();
    for (int k = 0; k < 8; ++k) {
        all.push_back({tabNames[k].c_str(), 27, 34, 8, LightGrey});
        all.push_back({tabNames[k + 8].c_str(), 30, 40, 8, LightGrey});
        all.push_back({tabNames[k + 16].c_str(), 35, 36, 8, LightGrey});
    }
    return all;
}

Bitmap Load(const Picture& p) {
    Bitmap bmp;
    EXPECT_TRUE(LoadBitmap(FileOf(p), bmp)) << p.resource;
    return bmp;
}

std::map<Rgb, int> Histogram(const Bitmap& bmp) {
    std::map<Rgb, int> counts;
    for (const Rgb& c : bmp.pixels) {
        ++counts[c];
    }
    return counts;
}

// --- every picture ---------------------------------------------------------------------------

class EveryPicture : public testing::TestWithParam<Picture> {};

TEST_P(EveryPicture, HasItsSizeDepthAndExactBackground) {
    const Picture& p = GetParam();
    Bitmap bmp;
    ASSERT_TRUE(LoadBitmap(FileOf(p), bmp));
    EXPECT_EQ(bmp.width, p.width);
    EXPECT_EQ(bmp.height, p.height);
    EXPECT_EQ(bmp.bits, p.bits);
    if (p.bits == 8) {
        EXPECT_NE(std::find(bmp.palette.begin(), bmp.palette.end(), p.background),
                  bmp.palette.end())
            << "the palette lacks the background colour " << p.background;
    }
    EXPECT_EQ(bmp.At(0, 0), p.background);
    EXPECT_EQ(bmp.At(bmp.width - 1, 0), p.background);
    EXPECT_EQ(bmp.At(0, bmp.height - 1), p.background);
    EXPECT_EQ(bmp.At(bmp.width - 1, bmp.height - 1), p.background);

    // The background is the broad colour of the picture, not just its corners.
    const auto counts = Histogram(bmp);
    const auto commonest =
        std::max_element(counts.begin(), counts.end(),
                         [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_EQ(commonest->first, p.background);
    EXPECT_GE(commonest->second * 3, p.width * p.height) << "background covers under a third";
    EXPECT_GE(counts.size(), 4u) << "hardly anything drawn";
}

INSTANTIATE_TEST_SUITE_P(Artwork, EveryPicture, testing::ValuesIn(AllPictures()),
                         [](const auto& info) { return std::string(info.param.resource); });

TEST(ResourceScript, NamesExactlyTheCheckedPicturesWithLowercaseFiles) {
    const auto bytes = ReadFile(ResourcesDir + "/gradewick.rc");
    const std::string script(bytes.begin(), bytes.end());
    const std::regex line(R"(^\s*(\w+)\s+BITMAP\s+\"([^\"]+)\")", std::regex::multiline);
    std::set<std::pair<std::string, std::string>> named;
    for (auto it = std::sregex_iterator(script.begin(), script.end(), line);
         it != std::sregex_iterator(); ++it) {
        named.insert({(*it)[1].str(), (*it)[2].str()});
    }
    std::set<std::pair<std::string, std::string>> checked;
    for (const Picture& p : AllPictures()) {
        checked.insert({p.resource, FileOf(p).substr(ResourcesDir.size() + 1)});
    }
    EXPECT_EQ(named, checked);
}

// --- the About picture -----------------------------------------------------------------------

TEST(AboutPicture, LeavesTheButtonCornerPlain) {
    const Bitmap about = Load({"ABOUT", 400, 279, 8, LightGrey});
    ASSERT_EQ(about.pixels.size(), 400u * 279u);
    int drawn = 0;
    for (int y = 240; y <= 268; ++y) {
        for (int x = 300; x <= 385; ++x) {
            drawn += about.At(x, y) != LightGrey;
        }
    }
    EXPECT_EQ(drawn, 0) << "pixels drawn where the OK button lies";
}

TEST(AboutPicture, ShowsTheProjectVersion) {
    const auto bytes = ReadFile(ResourcesDir + "/bitmaps/about.version");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), std::string(PROJECT_VERSION) + "\n")
        << "the About picture was rendered for another version: run scripts/render-art.sh";
}

// --- the verdict pictures --------------------------------------------------------------------

bool IsCaptionRed(const Rgb& c) {
    return c.r >= 180 && c.g <= 60 && c.b <= 60;
}

TEST(VerdictPictures, CarryARedCaptionAcrossTheTop) {
    for (const Picture& p :
         {Picture{"GOOD", 180, 203, 8, LightGrey}, Picture{"BAD", 180, 203, 8, LightGrey},
          Picture{"NORMAL", 180, 202, 8, VerdictGrey}}) {
        const Bitmap bmp = Load(p);
        ASSERT_EQ(bmp.pixels.size(), static_cast<std::size_t>(p.width) * p.height);
        int red = 0, left = p.width, right = -1;
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < p.width; ++x) {
                if (IsCaptionRed(bmp.At(x, y))) {
                    ++red;
                    left = std::min(left, x);
                    right = std::max(right, x);
                }
            }
        }
        EXPECT_GE(red, 300) << p.resource << ": no red caption in the top rows";
        EXPECT_GE(right - left, p.width / 2) << p.resource << ": caption too narrow";
    }
}

TEST(VerdictPictures, GoodAndBadAreDifferentDrawings) {
    const Bitmap good = Load({"GOOD", 180, 203, 8, LightGrey});
    const Bitmap bad = Load({"BAD", 180, 203, 8, LightGrey});
    ASSERT_EQ(good.pixels.size(), bad.pixels.size());
    std::size_t differing = 0;
    for (std::size_t i = 0; i < good.pixels.size(); ++i) {
        differing += good.pixels[i] != bad.pixels[i];
    }
    EXPECT_GE(differing, good.pixels.size() / 10);
}

// --- the semester tabs -----------------------------------------------------------------------

enum class Look { Selected, Unselected, Hover };

struct TabLook {
    Look look;
    const char* pattern; // resource name with '#' for the digit
    int width, height;
    int centreX2, centreY2; // twice the digit's centre
};

// The hover picture shares its top left corner with the selected picture on screen, so its
// digit stands at the selected picture's centre, not at its own.
const std::array<TabLook, 3> TabLooks = {{
    {Look::Selected, "PIC#", 27, 34, 27, 34},
    {Look::Unselected, "PIC#CLICK", 30, 40, 30, 40},
    {Look::Hover, "MOUSE#", 35, 36, 27, 34},
}};

std::string TabResource(const TabLook& look, int k) {
    std::string name = look.pattern;
    name.replace(name.find('#'), 1, std::to_string(k));
    return name;
}

bool IsPurple(const Rgb& c) {
    return c.r >= 60 && c.b >= 110 && c.g <= 60 && c.b > c.r;
}
bool IsYellowGreen(const Rgb& c) {
    return c.r >= 150 && c.g >= 190 && c.b <= 80;
}
bool IsBlue(const Rgb& c) {
    return c.b >= 180 && c.r <= 70 && c.g <= 110;
}
bool IsOrange(const Rgb& c) {
    return c.r >= 220 && c.g >= 100 && c.g <= 190 && c.b <= 90;
}

// The box around every pixel that is clearly not background (the faint outer glow aside).
struct Box {
    int left, top, right, bottom;
};

Box InkBox(const Bitmap& bmp) {
    Box box{bmp.width, bmp.height, -1, -1};
    for (int y = 0; y < bmp.height; ++y) {
        for (int x = 0; x < bmp.width; ++x) {
            const Rgb c = bmp.At(x, y);
            const int distance = std::abs(c.r - 192) + std::abs(c.g - 192) + std::abs(c.b - 192);
            if (distance > 90) {
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
            }
        }
    }
    return box;
}

TEST(TabPictures, EachDigitIsLargeAndCentred) {
    for (const TabLook& look : TabLooks) {
        for (int k = 1; k <= 8; ++k) {
            const std::string name = TabResource(look, k);
            const Bitmap bmp = Load({name.c_str(), look.width, look.height, 8, LightGrey});
            ASSERT_EQ(bmp.pixels.size(), static_cast<std::size_t>(look.width) * look.height);
            const Box box = InkBox(bmp);
            ASSERT_GE(box.right, 0) << name << ": nothing drawn";
            // Twice the centres, to stay in whole numbers: within 1.5 pixels either way.
            EXPECT_LE(std::abs(box.left + box.right + 1 - look.centreX2), 3)
                << name << ": digit spans x " << box.left << ".." << box.right;
            EXPECT_LE(std::abs(box.top + box.bottom + 1 - look.centreY2), 3)
                << name << ": digit spans y " << box.top << ".." << box.bottom;
            EXPECT_GE(box.bottom - box.top + 1, 19) << name << ": digit too small to read";
            EXPECT_GE(box.left, 1) << name;
            EXPECT_LE(box.right, look.width - 2) << name;
        }
    }
}

TEST(TabPictures, EachLookHasItsColours) {
    for (const TabLook& look : TabLooks) {
        for (int k = 1; k <= 8; ++k) {
            const std::string name = TabResource(look, k);
            const Bitmap bmp = Load({name.c_str(), look.width, look.height, 8, LightGrey});
            int purple = 0, yellowGreen = 0, blue = 0, orange = 0;
            for (const Rgb& c : bmp.pixels) {
                purple += IsPurple(c);
                yellowGreen += IsYellowGreen(c);
                blue += IsBlue(c);
                orange += IsOrange(c);
            }
            switch (look.look) {
            case Look::Selected:
                EXPECT_GE(purple, 60) << name;
                EXPECT_EQ(yellowGreen + blue + orange, 0) << name << ": selected tab is plain";
                break;
            case Look::Unselected:
                EXPECT_GE(yellowGreen, 50) << name;
                EXPECT_GE(blue, 15) << name << ": no blue glow";
                EXPECT_EQ(purple + orange, 0) << name;
                break;
            case Look::Hover:
                EXPECT_GE(blue, 50) << name;
                EXPECT_GE(orange, 15) << name << ": no orange glow";
                EXPECT_EQ(purple + yellowGreen, 0) << name;
                break;
            }
        }
    }
}

TEST(TabPictures, TheEightDigitsOfALookDiffer) {
    for (const TabLook& look : TabLooks) {
        std::set<std::vector<Rgb>> seen;
        for (int k = 1; k <= 8; ++k) {
            const std::string name = TabResource(look, k);
            seen.insert(Load({name.c_str(), look.width, look.height, 8, LightGrey}).pixels);
        }
        EXPECT_EQ(seen.size(), 8u) << look.pattern << ": two tabs show the same picture";
    }
}

// --- the icon --------------------------------------------------------------------------------

TEST(ProgramIcon, HoldsSixImagesIn16And256Colours) {
    const auto d = ReadFile(ResourcesDir + "/gradewick.ico");
    ASSERT_GE(d.size(), 6u);
    EXPECT_EQ(U16(d, 0), 0u);
    EXPECT_EQ(U16(d, 2), 1u) << "not an icon file";
    const unsigned count = U16(d, 4);
    ASSERT_EQ(count, 6u);
    ASSERT_GE(d.size(), 6 + 16 * count);

    std::set<std::tuple<int, int, int>> found; // width, height, bits
    for (unsigned i = 0; i < count; ++i) {
        const std::size_t entry = 6 + 16 * i;
        const int width = d[entry] == 0 ? 256 : d[entry];
        const int height = d[entry + 1] == 0 ? 256 : d[entry + 1];
        const int colourCount = d[entry + 2];
        const int bits = static_cast<int>(U16(d, entry + 6));
        const std::uint32_t bytes = U32(d, entry + 8);
        const std::uint32_t offset = U32(d, entry + 12);
        found.insert({width, height, bits});
        SCOPED_TRACE(testing::Message() << width << "x" << height << " " << bits << " bits");
        EXPECT_EQ(U16(d, entry + 4), 1u) << "planes";
        EXPECT_EQ(colourCount, bits == 4 ? 16 : 0);
        ASSERT_LE(static_cast<std::size_t>(offset) + bytes, d.size());

        // The image itself: a BITMAPINFOHEADER of twice the height (colours, then mask).
        ASSERT_GE(bytes, 40u);
        EXPECT_EQ(U32(d, offset), 40u);
        EXPECT_EQ(I32(d, offset + 4), width);
        EXPECT_EQ(I32(d, offset + 8), 2 * height);
        EXPECT_EQ(U16(d, offset + 14), static_cast<unsigned>(bits));
        EXPECT_EQ(U32(d, offset + 16), 0u) << "compressed";
        const std::size_t colours = U32(d, offset + 32) ? U32(d, offset + 32) : 1u << bits;
        const std::size_t xorStride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
        const std::size_t andStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
        ASSERT_EQ(bytes, 40 + 4 * colours + (xorStride + andStride) * height);

        // Transparent pixels are black in the colour part, so the screen shows through; the
        // rest draws something in several colours.
        const std::size_t pixels = offset + 40 + 4 * colours;
        const std::size_t mask = pixels + xorStride * height;
        int transparent = 0;
        std::set<Rgb> opaqueColours;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool clear = d[mask + andStride * y + x / 8] & (0x80 >> (x % 8));
                const std::size_t bit = static_cast<std::size_t>(x) * bits;
                const int index = (d[pixels + xorStride * y + bit / 8] >> (8 - bits - bit % 8)) &
                                  ((1 << bits) - 1);
                const std::size_t at = offset + 40 + 4 * static_cast<std::size_t>(index);
                const Rgb colour{d[at + 2], d[at + 1], d[at]};
                if (clear) {
                    ++transparent;
                    EXPECT_EQ(colour, (Rgb{0, 0, 0})) << "at " << x << "," << y;
                } else {
                    opaqueColours.insert(colour);
                }
            }
        }
        EXPECT_GT(transparent, width * height / 10) << "no transparent surround";
        EXPECT_LT(transparent, width * height * 9 / 10) << "hardly anything drawn";
        EXPECT_GE(opaqueColours.size(), 4u);
    }
    const std::set<std::tuple<int, int, int>> expected = {{16, 16, 4}, {16, 16, 8}, {32, 32, 4},
                                                          {32, 32, 8}, {48, 48, 4}, {48, 48, 8}};
    EXPECT_EQ(found, expected);
}

} // namespace
