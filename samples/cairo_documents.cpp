#include "samples/cairo_documents.h"

#include <cairo-ft.h>
#include <cairo-pdf.h>
#include <cairo-ps.h>
#include <cairo.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdio>
#include <memory>

namespace samples {

namespace {

constexpr double kWidth = 420;
constexpr double kLineHeight = 30;

// cairo may keep a font face in its caches after the last reference is
// dropped, so each FreeType face is released by the cairo face itself, and
// the FreeType library lives as long as the program.
FT_Library SharedLibrary() {
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        return FT_Init_FreeType(&lib) == 0 ? lib : nullptr;
    }();
    return library;
}

const cairo_user_data_key_t kFaceKey = {};

void ReleaseFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

struct FontFaces {
    std::vector<cairo_font_face_t*> faces;
    std::vector<std::string> families;
    ~FontFaces() {
        for (cairo_font_face_t* face : faces) cairo_font_face_destroy(face);
    }
};

bool LoadFaces(const std::vector<std::string>& files, FontFaces& faces, std::string& error) {
    FT_Library library = SharedLibrary();
    if (!library) {
        error = "FreeType cannot start";
        return false;
    }
    for (const std::string& file : files) {
        FT_Face face = nullptr;
        if (FT_New_Face(library, file.c_str(), 0, &face) != 0) {
            error = "cannot read the font file " + file;
            return false;
        }
        faces.families.push_back(face->family_name ? face->family_name : "a font");
        cairo_font_face_t* cairoFace = cairo_ft_font_face_create_for_ft_face(face, 0);
        if (cairo_font_face_set_user_data(cairoFace, &kFaceKey, face, ReleaseFace) !=
            CAIRO_STATUS_SUCCESS) {
            cairo_font_face_destroy(cairoFace);
            FT_Done_Face(face);
            error = "cairo cannot use the font file " + file;
            return false;
        }
        faces.faces.push_back(cairoFace);
    }
    return true;
}

void DrawLines(cairo_surface_t* surface, const FontFaces& faces,
               const CairoDocumentOptions& options) {
    cairo_t* cr = cairo_create(surface);
    double y = kLineHeight;
    for (std::size_t i = 0; i < faces.faces.size(); ++i) {
        if (options.textInGroup) cairo_push_group(cr);
        cairo_set_font_face(cr, faces.faces[i]);
        cairo_set_font_size(cr, 18);
        cairo_move_to(cr, 10, y);
        const std::string text = "Sample text in " + faces.families[i];
        cairo_show_text(cr, text.c_str());
        if (options.textInGroup) {
            cairo_pop_group_to_source(cr);
            cairo_paint(cr);
        }
        if (options.pagePerFont) {
            cairo_show_page(cr);
        } else {
            y += kLineHeight;
        }
    }
    cairo_destroy(cr);
}

double PageHeight(std::size_t lines) { return kLineHeight * static_cast<double>(lines + 1); }

bool Finish(cairo_surface_t* surface, const std::string& path, std::string& error) {
    cairo_surface_finish(surface);
    const cairo_status_t status = cairo_surface_status(surface);
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = path + ": " + cairo_status_to_string(status);
        std::remove(path.c_str());
        return false;
    }
    return true;
}

}  // namespace

bool WriteCairoPdf(const std::string& path, const std::vector<std::string>& fontFiles,
                   std::string& error, const CairoDocumentOptions& options) {
    FontFaces faces;
    if (!LoadFaces(fontFiles, faces, error)) return false;
    const double height = options.pagePerFont ? 2 * kLineHeight : PageHeight(fontFiles.size());
    cairo_surface_t* surface = cairo_pdf_surface_create(path.c_str(), kWidth, height);
    DrawLines(surface, faces, options);
    return Finish(surface, path, error);
}

bool WriteCairoEps(const std::string& path, const std::vector<std::string>& fontFiles,
                   std::string& error) {
    FontFaces faces;
    if (!LoadFaces(fontFiles, faces, error)) return false;
    cairo_surface_t* surface =
        cairo_ps_surface_create(path.c_str(), kWidth, PageHeight(fontFiles.size()));
    cairo_ps_surface_set_eps(surface, 1);
    DrawLines(surface, faces, CairoDocumentOptions{});
    return Finish(surface, path, error);
}

}  // namespace samples
