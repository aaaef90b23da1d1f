#include "host/snapshot/snapshot.h"

#include <cairo-ft.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <memory>
#include <vector>

#include "host/text/unicode_text.h"
#include "host/text_encoding.h"

namespace host::snapshot {
namespace {

// 8 points at 96 dots per inch, as the dialog's "MS Sans Serif".
constexpr double kFontPixels = 8.0 * 96.0 / 72.0;
// Faces of the installed packages close to the dialog font, read from their
// files so that the picture does not depend on the font configuration.
constexpr const char* kFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf",
};

// cairo may keep the face in its caches past our drawing; the face is freed
// when cairo lets it go, and the library lives as long as the process.
cairo_font_face_t* LoadDialogFont() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    if (library == nullptr) throw SnapshotError("FreeType cannot be initialised");
    for (const char* file : kFontFiles) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, file, 0, &face) != 0) continue;
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
    throw SnapshotError("no dialog font: install fonts-dejavu-core or fonts-liberation");
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
    cairo_text_extents_t ext;
    cairo_text_extents(cr, utf8.c_str(), &ext);
    cairo_font_extents_t font;
    cairo_font_extents(cr, &font);
    double x = box.left + inset;
    if (align == Align::kCentre) x = box.left + (box.right - box.left - ext.x_advance) / 2;
    double y = box.top + (box.bottom - box.top - (font.ascent + font.descent)) / 2 + font.ascent;
    SetColor(cr, rgb);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, utf8.c_str());
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
            cairo_save(cr);
            cairo_rectangle(cr, r.left + 1, r.top + 1, w - 2, h - 2);
            cairo_clip(cr);
            int y = r.top + 1;
            for (const auto& entry : item.list->entries) {
                if (y >= r.bottom) break;
                ADMRect row{r.left + 1, y, r.right - 1, y + kListRowHeight};
                bool selected = entry->selected;
                if (selected)
                    FillRect(cr, row.left, row.top, w - 2, kListRowHeight, kSelectionColor);
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

const adm::DialogCommand& SnapshotCommand() {
    static const adm::DialogCommand command = {
        "snapshot", "NAME FILE", "draw a dialog into a PNG file", 2,
        [](adm::DialogManager& m, std::ostream& out, const std::vector<std::string>& a) {
            ADMDialogRef d = m.FindDialog(a[0]);
            if (d == nullptr) {
                out << "no dialog named \"" << a[0] << "\"\n";
                return false;
            }
            try {
                WriteSnapshot(m, d, a[1]);
            } catch (const SnapshotError& e) {
                out << e.what() << "\n";
                return false;
            }
            out << "wrote " << a[1] << "\n";
            return true;
        }};
    return command;
}

}  // namespace host::snapshot
