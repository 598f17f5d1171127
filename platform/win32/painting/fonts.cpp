#include "platform/win32/painting/fonts.h"

#include <algorithm>
#include <cwchar>
#include <string>

#include "platform/win32/base.h"

namespace platform::win32 {
namespace {

// The resolution the raster face's sizes are drawn for, and the layout measured with.
constexpr int raster_dpi = 96;

// "MS Sans Serif" is a raster font: Windows draws it only at its own sizes, or blocky at whole
// multiples of them. At other resolutions the layout's sizes fall between those, so the text
// is drawn in its TrueType twin, made as wide as the raster face's would be at this scale.
struct Twin {
    const wchar_t* raster_face;
    const wchar_t* raster_file; // the raster face's file at 96 dpi
    const wchar_t* face;
};
constexpr Twin twins[] = {{L"MS Sans Serif", L"sserife.fon", L"Microsoft Sans Serif"}};

// What the widths are compared on: every printable character once.
const std::wstring& sample()
{
    static const std::wstring text = [] {
        std::wstring all;
        for (wchar_t c = L' '; c <= L'~'; ++c)
            all += c;
        return all;
    }();
    return text;
}

GdiFont create(const Font& font, int height, int width, const wchar_t* face, BYTE precision)
{
    LOGFONTW logfont{};
    logfont.lfHeight = -height;
    logfont.lfWidth = width;
    logfont.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    logfont.lfUnderline = font.underline ? TRUE : FALSE;
    logfont.lfCharSet = DEFAULT_CHARSET;
    logfont.lfOutPrecision = precision;
    logfont.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    logfont.lfQuality = DEFAULT_QUALITY;
    logfont.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    std::copy_n(face, std::min<std::size_t>(std::wcslen(face), LF_FACESIZE - 1), logfont.lfFaceName);
    return GdiFont(CreateFontIndirectW(&logfont));
}

struct Measure {
    int extent = 0;
    TEXTMETRICW metrics{};
};

Measure measure(HFONT font)
{
    Measure m;
    const MemoryDc dc(CreateCompatibleDC(nullptr));
    const Selection chosen(dc.get(), font);
    SIZE size{};
    if (font && GetTextExtentPoint32W(dc.get(), sample().c_str(), static_cast<int>(sample().size()), &size))
        m.extent = size.cx;
    GetTextMetricsW(dc.get(), &m.metrics);
    return m;
}

// Above 96 dpi Windows and Wine list the large-font file under the raster face, which lacks the
// smallest 96 dpi size: the 96 dpi file is added for this program alone while it is measured.
class PrivateFontFile {
public:
    explicit PrivateFontFile(const wchar_t* name)
    {
        wchar_t windows[MAX_PATH] = {};
        const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return;
        path_ = std::wstring(windows) + L"\\Fonts\\" + name;
        if (AddFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr) == 0)
            path_.clear();
    }
    ~PrivateFontFile()
    {
        if (!path_.empty())
            RemoveFontResourceExW(path_.c_str(), FR_PRIVATE, nullptr);
    }
    PrivateFontFile(const PrivateFontFile&) = delete;
    PrivateFontFile& operator=(const PrivateFontFile&) = delete;

private:
    std::wstring path_;
};

// How wide the raster face draws the sample at its 96 dpi size for the font; 0 where it has not
// got that size. (Added first: the system keeps a font made before from the other file.)
int raster_extent(const Font& font, const Twin& twin)
{
    const PrivateFontFile file(twin.raster_file);
    const int height = Dpi{raster_dpi}.font_height(font.points);
    const GdiFont raster = create(font, height, 0, twin.raster_face, OUT_RASTER_PRECIS);
    const Measure m = measure(raster.get());
    return m.metrics.tmHeight - m.metrics.tmInternalLeading == height ? m.extent : 0;
}

// The twin at the asked height, or a pixel or two lower where it runs wider than the raster face
// would at this scale: text laid out for the raster face keeps to its boxes.
GdiFont twin_font(const Font& font, Dpi dpi, const Twin& twin)
{
    const int asked = dpi.font_height(font.points);
    const long target = static_cast<long>(raster_extent(font, twin)) * dpi.value / raster_dpi;
    GdiFont made = create(font, asked, 0, twin.face, OUT_TT_PRECIS);
    for (int height = asked - 1; target > 0 && height > asked * 3 / 4 && measure(made.get()).extent > target; --height)
        made = create(font, height, 0, twin.face, OUT_TT_PRECIS);
    return made;
}

} // namespace

GdiFont make_font(const Font& font, Dpi dpi)
{
    const std::wstring face = widen(font.name);
    if (dpi.value != raster_dpi) {
        for (const Twin& twin : twins) {
            if (face == twin.raster_face)
                return twin_font(font, dpi, twin);
        }
    }
    return create(font, dpi.font_height(font.points), 0, face.c_str(), OUT_DEFAULT_PRECIS);
}

HFONT FontCache::get(const Font& font)
{
    for (const auto& [logfont, handle] : fonts_) {
        if (logfont == font)
            return handle.get();
    }
    GdiFont made = make_font(font, dpi_);
    const HFONT handle = made.get();
    fonts_.emplace_back(font, std::move(made));
    return handle ? handle : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

} // namespace platform::win32
