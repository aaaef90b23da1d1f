// Writes the demo's sample documents into a folder. The fonts are a mix: some
// the demo machine has, some that the font manager can offer (from the
// Debian font packages), and two that no package has (Orvinda, Kestrel
// Grotesk), so that a document stays with missing fonts after every step.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "samples/cairo_documents.h"
#include "samples/text_documents.h"

namespace {

const std::string kLiberation = "/usr/share/fonts/truetype/liberation/";
const std::string kDejaVu = "/usr/share/fonts/truetype/dejavu/";
const std::string kNoto = "/usr/share/fonts/truetype/noto/";
const std::string kUrwType1 = "/usr/share/fonts/type1/urw-base35/";
const std::string kUrwOpenType = "/usr/share/fonts/opentype/urw-base35/";

bool Report(bool ok, const std::string& path, const std::string& error) {
    if (ok) {
        std::printf("wrote %s\n", path.c_str());
    } else {
        std::fprintf(stderr, "make-samples: %s\n", error.c_str());
    }
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-samples OUTPUT-FOLDER\n");
        return 2;
    }
    const std::filesystem::path out(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
    if (ec) {
        std::fprintf(stderr, "make-samples: %s: %s\n", argv[1], ec.message().c_str());
        return 1;
    }
    auto at = [&](const char* name) { return (out / name).string(); };

    bool ok = true;
    std::string error;

    const std::string brochure = at("brochure.pdf");
    ok &= Report(samples::WriteCairoPdf(
                     brochure,
                     {kLiberation + "LiberationSans-Regular.ttf",
                      kLiberation + "LiberationSerif-Bold.ttf", kUrwType1 + "NimbusSans-Regular.t1",
                      kDejaVu + "DejaVuSans.ttf", kNoto + "NotoSerif-Regular.ttf"},
                     error),
                 brochure, error);

    // A PDF-compatible .ai file, its text inside groups (form XObjects).
    const std::string poster = at("poster.ai");
    samples::CairoDocumentOptions grouped;
    grouped.textInGroup = true;
    ok &= Report(samples::WriteCairoPdf(
                     poster,
                     {kNoto + "NotoSans-Bold.ttf", kUrwOpenType + "URWGothic-Book.otf",
                      kUrwType1 + "C059-Roman.t1", kLiberation + "LiberationSans-Regular.ttf"},
                     error, grouped),
                 poster, error);

    const std::string flyer = at("flyer.eps");
    ok &=
        Report(samples::WriteCairoEps(
                   flyer, {kLiberation + "LiberationMono-Regular.ttf", kUrwType1 + "P052-Roman.t1"},
                   error),
               flyer, error);

    const std::string legacy = at("legacy.ps");
    ok &= Report(
        samples::WriteTextFile(
            legacy,
            samples::DscPostScript({"Orvinda-Regular", "NimbusMonoPS-Regular", "DejaVuSerif"},
                                   {"KestrelGrotesk-Bold"}, true, false),
            error),
        legacy, error);

    const std::string badge = at("badge.eps");
    ok &= Report(
        samples::WriteTextFile(badge,
                               samples::DosEpsBinary(samples::DscPostScript(
                                   {"URWBookman-Light", "NotoSans-Italic"}, {}, false, true)),
                               error),
        badge, error);

    const std::string logo = at("logo.svg");
    ok &= Report(
        samples::WriteTextFile(
            logo,
            samples::SvgWithFamilies({"'Liberation Serif', serif", "\"Noto Serif\", serif",
                                      "Orvinda Display, 'Liberation Sans', sans-serif"},
                                     ".tagline { font: italic 14px/1.2 'Kestrel Grotesk', "
                                     "sans-serif }\n.title { font-family: 'DejaVu Sans Mono' }"),
            error),
        logo, error);

    return ok ? 0 : 1;
}
