#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>

#include "host/snapshot/snapshot.h"
#include FT_FREETYPE_H

#include <algorithm>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "host/text/unicode_text.h"
#include "host/text_encoding.h"

namespace host::snapshot {
namespace {

// 8 points at 96 dots per inch, as the dialog's "MS Sans Serif".
constexpr double kFontPixels = 8.0 * 96.0 / 72.0;
constexpr int kScrollBarWidth = 17;
// Faces of the installed packages close to the dialog font, read from their
// files so that the picture does not depend on the font configuration.
constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
};

// For the characters the dialog font lacks (names of a Japanese system, in code
// page 932): a face from fonts-ipafont-gothic, when it is installed.
constexpr const char* kFallbackFontFiles[] = {
    "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf",
};

// cairo may keep the face in its caches past our drawing; the face is freed
// when cairo lets it go, and the library lives as long as the process.
// Null when none of the files can be read.
cairo_font_face_t* LoadFontFrom(const char* const* files, std::size_t count) {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    if (library == nullptr) throw SnapshotError("FreeType cannot be initialised");
    for (std::size_t i = 0; i < count; ++i) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, files[i], 0, &face) != 0) continue;
        cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        static const cairo_user_data_key_t kFaceKey{};
        if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face, [](void* f) {
                FT_Done_Face(static_cast<FT_Face>(f));
            }) != CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(cairoFace);
            FT_Done_Face(face);
            continue;
        }
        return cairoFace;
    }
    return nullptr;
}

cairo_font_face_t* LoadDialogFont() {
    cairo_font_face_t* face = LoadFontFrom(kFontFiles, std::size(kFontFiles));
    if (face == nullptr)
        throw SnapshotError("no dialog font: install fonts-dejavu-core or fonts-liberation");
    return face;
}

// Loaded once and kept for the process; null when not installed.
cairo_font_face_t* FallbackFont() {
    static cairo_font_face_t* face =
        LoadFontFrom(kFallbackFontFiles, std::size(kFallbackFontFiles));
    return face;
}

// The text cut into runs of characters the current face has, and runs of
// characters it lacks (for the fallback face).
struct TextRun {
    std::string utf8;
    bool fallback;
};

std::vector<TextRun> SplitByCoverage(cairo_t* cr, const std::string& utf8) {
    std::vector<TextRun> runs;
    cairo_scaled_font_t* font = cairo_get_scaled_font(cr);
    for (std::size_t i = 0; i < utf8.size();) {
        std::size_t length = 1;
        while (i + length < utf8.size() && (utf8[i + length] & 0xC0) == 0x80) ++length;
        const std::string character = utf8.substr(i, length);
        cairo_glyph_t* glyphs = nullptr;
        int count = 0;
        const bool missing = cairo_scaled_font_text_to_glyphs(
                                 font, 0, 0, character.data(), static_cast<int>(length), &glyphs,
                                 &count, nullptr, nullptr, nullptr) != CAIRO_STATUS_SUCCESS ||
                             count != 1 || glyphs[0].index == 0;
        cairo_glyph_free(glyphs);
        const bool fallback = missing && FallbackFont() != nullptr;
        if (runs.empty() || runs.back().fallback != fallback) runs.push_back({{}, fallback});
        runs.back().utf8 += character;
        i += length;
    }
    return runs;
}

// Draws (or, with draw false, measures) the runs from the current point; answers
// the advance.
double ShowRuns(cairo_t* cr, const std::vector<TextRun>& runs, bool draw) {
    cairo_font_face_t* primary = cairo_font_face_reference(cairo_get_font_face(cr));
    double advance = 0;
    for (const TextRun& run : runs) {
        cairo_set_font_face(cr, run.fallback ? FallbackFont() : primary);
        cairo_text_extents_t ext;
        cairo_text_extents(cr, run.utf8.c_str(), &ext);
        if (draw) cairo_show_text(cr, run.utf8.c_str());
        advance += ext.x_advance;
    }
    cairo_set_font_face(cr, primary);
    cairo_font_face_destroy(primary);
    return advance;
}

void SetColor(cairo_t* cr, unsigned rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

void FillRect(cairo_t* cr, double x, double y, double w, double h, unsigned rgb) {
    SetColor(cr, rgb);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

void StrokeRect(cairo_t* cr, double x, double y, double w, double h, unsigned rgb) {
    SetColor(cr, rgb);
    cairo_set_line_width(cr, 1.0);
    cairo_rectangle(cr, x + 0.5, y + 0.5, w - 1, h - 1);
    cairo_stroke(cr);
}

// Text is narrow, in the thread's ANSI code page; cairo wants UTF-8.
std::string ToUtf8(const std::string& narrow) {
    return EncodeUtf8(DecodeThreadAnsi(narrow.data(), narrow.size()));
}

enum class Align { kLeft, kCentre };

void DrawText(cairo_t* cr, const std::string& text, const ADMRect& box, double inset, unsigned rgb,
              Align align) {
    if (text.empty()) return;
    std::string utf8 = ToUtf8(text);
    cairo_save(cr);
    cairo_rectangle(cr, box.left, box.top, box.right - box.left, box.bottom - box.top);
    cairo_clip(cr);
    const std::vector<TextRun> runs = SplitByCoverage(cr, utf8);
    const double width = ShowRuns(cr, runs, false);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = box.left + inset;
    if (align == Align::kCentre) x = box.left + (box.right - box.left - width) / 2;
    double y = box.top + (box.bottom - box.top - (font.ascent + font.descent)) / 2 + font.ascent;
    SetColor(cr, rgb);
    cairo_move_to(cr, x, y);
    ShowRuns(cr, runs, true);
    cairo_restore(cr);
}

void DrawIcon(cairo_t* cr, const ADMIcon& icon, double x, double y) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, icon.width, icon.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    int stride = cairo_image_surface_get_stride(s);
    for (int row = 0; row < icon.height; ++row) {
        auto* out = reinterpret_cast<std::uint32_t*>(data + row * stride);
        for (int col = 0; col < icon.width; ++col) {
            const std::uint8_t* p =
                &icon.rgba[(static_cast<std::size_t>(row) * icon.width + col) * 4];
            std::uint32_t a = p[3];
            // cairo keeps premultiplied alpha.
            std::uint32_t r = p[0] * a / 255, g = p[1] * a / 255, b = p[2] * a / 255;
            out[col] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    cairo_surface_mark_dirty(s);
    cairo_set_source_surface(cr, s, x, y);
    cairo_paint(cr);
    cairo_surface_destroy(s);
}

void DrawItem(cairo_t* cr, const ADMItem& item) {
    const ADMRect& r = item.bounds;
    double w = r.right - r.left, h = r.bottom - r.top;
    unsigned text = item.enabled ? kTextColor : kDisabledTextColor;
    switch (item.kind) {
        case adm::ItemKind::kStatic:
            DrawText(cr, item.text, r, 0, text, Align::kLeft);
            break;
        case adm::ItemKind::kPushButton:
            FillRect(cr, r.left, r.top, w, h, kButtonColor);
            StrokeRect(cr, r.left, r.top, w, h, item.enabled ? 0x707070 : 0xBFBFBF);
            DrawText(cr, item.text, r, 0, text, Align::kCentre);
            break;
        case adm::ItemKind::kListBox: {
            FillRect(cr, r.left, r.top, w, h, kListColor);
            // More rows than fit: a vertical scroll bar at the top of its range,
            // as the list shows them, so that the picture tells there are more.
            const int visibleRows = (h - 2) / kListRowHeight;
            const int rows = static_cast<int>(item.list->entries.size());
            const bool scrolls = rows > visibleRows && visibleRows > 0;
            const int listRight = scrolls ? r.right - 1 - kScrollBarWidth : r.right - 1;
            if (scrolls) {
                const double track = h - 2;
                FillRect(cr, listRight, r.top + 1, kScrollBarWidth, track, kFaceColor);
                const double thumb = std::max(8.0, track * visibleRows / rows);
                FillRect(cr, listRight + 2, r.top + 1, kScrollBarWidth - 4, thumb, 0xC1C1C1);
            }
            cairo_save(cr);
            cairo_rectangle(cr, r.left + 1, r.top + 1, listRight - r.left - 1, h - 2);
            cairo_clip(cr);
            int y = r.top + 1;
            for (const auto& entry : item.list->entries) {
                if (y >= r.bottom) break;
                ADMRect row{r.left + 1, y, listRight, y + kListRowHeight};
                bool selected = entry->selected;
                if (selected)
                    FillRect(cr, row.left, row.top, listRight - row.left, kListRowHeight,
                             kSelectionColor);
                unsigned rowText = !item.enabled || !entry->enabled ? kDisabledTextColor
                                   : selected                       ? 0xFFFFFF
                                                                    : kTextColor;
                DrawText(cr, entry->text, row, 3, rowText, Align::kLeft);
                y += kListRowHeight;
            }
            cairo_restore(cr);
            StrokeRect(cr, r.left, r.top, w, h, 0x828790);
            break;
        }
        case adm::ItemKind::kTextEdit:
        case adm::ItemKind::kSpinEditPopup:
        case adm::ItemKind::kTextEditPopup:
            FillRect(cr, r.left, r.top, w, h, kListColor);
            StrokeRect(cr, r.left, r.top, w, h, 0x828790);
            DrawText(cr, item.text, r, 3, text, Align::kLeft);
            break;
        case adm::ItemKind::kUser:
            break;  // drawn by its own draw procedure only
    }
}

}  // namespace

void WriteSnapshot(adm::DialogManager& manager, ADMDialogRef ref, const std::string& pngPath) {
    ADMDialog* dialog = manager.LiveDialog(ref);
    if (dialog == nullptr) throw SnapshotError("snapshot of a dialog the host does not hold");
    int width = dialog->bounds.right - dialog->bounds.left;
    int height = dialog->bounds.bottom - dialog->bounds.top;
    if (width <= 0 || height <= 0) throw SnapshotError("dialog \"" + dialog->name + "\" is empty");

    ADMDrawer drawer;
    drawer.dialog = dialog;
    drawer.bounds = {0, 0, width, height};
    manager.DrawDialog(dialog, &drawer);
    dialog = manager.LiveDialog(ref);
    if (dialog == nullptr) throw SnapshotError("the dialog was destroyed while it was drawn");

    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height + kTitleBarHeight),
        cairo_surface_destroy);
    std::unique_ptr<cairo_t, decltype(&cairo_destroy)> owned(cairo_create(surface.get()),
                                                             cairo_destroy);
    cairo_t* cr = owned.get();
    cairo_font_face_t* font = LoadDialogFont();
    cairo_set_font_face(cr, font);
    cairo_font_face_destroy(font);
    cairo_set_font_size(cr, kFontPixels);

    FillRect(cr, 0, 0, width, kTitleBarHeight, kTitleColor);
    double captionX = 6;
    if (ADMIcon* icon = manager.LiveIcon(dialog->icons[0])) {
        DrawIcon(cr, *icon, 1, (kTitleBarHeight - icon->height) / 2.0);
        captionX = icon->width + 4;
    }
    DrawText(cr, dialog->text, ADMRect{static_cast<ASInt32>(captionX), 0, width, kTitleBarHeight},
             0, 0xFFFFFF, Align::kLeft);

    cairo_translate(cr, 0, kTitleBarHeight);
    FillRect(cr, 0, 0, width, height, kFaceColor);
    for (const auto& item : dialog->items) {
        if (item->visible) DrawItem(cr, *item);
    }
    cairo_surface_flush(surface.get());
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) {
        throw SnapshotError(std::string("drawing failed: ") +
                            cairo_status_to_string(cairo_status(cr)));
    }
    cairo_status_t written = cairo_surface_write_to_png(surface.get(), pngPath.c_str());
    if (written != CAIRO_STATUS_SUCCESS) {
        throw SnapshotError("cannot write " + pngPath + ": " + cairo_status_to_string(written));
    }
}

}  // namespace host::snapshot
