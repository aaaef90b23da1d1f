#include <qpdf/QPDF.hh>
#include <qpdf/QPDFExc.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <set>
#include <stdexcept>

#include "documents/font_name_list.h"
#include "documents/pdf_fonts.h"

namespace host {

namespace {

// Deeper nesting than this is taken for a hostile file, not a drawing.
constexpr int kMaxNesting = 100;

class PdfFontCollector {
public:
    explicit PdfFontCollector(FontNameList& names) : m_names(names) {}

    void Page(QPDFPageObjectHelper& page) {
        Resources(page.getAttribute("/Resources", false), 0);
        QPDFObjectHandle annots = page.getObjectHandle().getKey("/Annots");
        if (!annots.isArray()) return;
        for (int i = 0; i < annots.getArrayNItems(); ++i) {
            QPDFObjectHandle annot = annots.getArrayItem(i);
            if (annot.isDictionary()) Appearances(annot.getKey("/AP"));
        }
    }

private:
    // Each indirect object is visited once, which also ends reference cycles.
    bool FirstVisit(QPDFObjectHandle& object) {
        if (!object.isIndirect()) return true;
        return m_visited.insert(object.getObjGen()).second;
    }

    static void CheckDepth(int depth) {
        if (depth > kMaxNesting) throw std::runtime_error("resources are nested too deeply");
    }

    void Resources(QPDFObjectHandle resources, int depth) {
        CheckDepth(depth);
        if (!resources.isDictionary() || !FirstVisit(resources)) return;

        QPDFObjectHandle fonts = resources.getKey("/Font");
        if (fonts.isDictionary()) {
            for (const std::string& key : fonts.getKeys()) Font(fonts.getKey(key), depth);
        }
        // Form XObjects and tiling patterns carry resources of their own.
        for (const char* kind : {"/XObject", "/Pattern"}) {
            QPDFObjectHandle dict = resources.getKey(kind);
            if (!dict.isDictionary()) continue;
            for (const std::string& key : dict.getKeys()) ContentStream(dict.getKey(key), depth);
        }
    }

    void ContentStream(QPDFObjectHandle object, int depth) {
        if (!object.isStream() || !FirstVisit(object)) return;
        Resources(object.getDict().getKey("/Resources"), depth + 1);
    }

    void Appearances(QPDFObjectHandle ap) {
        if (!ap.isDictionary()) return;
        for (const char* state : {"/N", "/R", "/D"}) {
            QPDFObjectHandle entry = ap.getKey(state);
            if (entry.isStream()) {
                ContentStream(entry, 0);
            } else if (entry.isDictionary()) {
                for (const std::string& key : entry.getKeys()) ContentStream(entry.getKey(key), 0);
            }
        }
    }

    void Font(QPDFObjectHandle font, int depth) {
        if (!font.isDictionary() || !FirstVisit(font)) return;
        const std::string subtype = NameOf(font.getKey("/Subtype"));
        if (subtype == "Type3") {
            // Drawn by the document's own procedures, which may use fonts.
            Resources(font.getKey("/Resources"), depth + 1);
            return;
        }
        if (subtype == "Type0") {
            QPDFObjectHandle descendants = font.getKey("/DescendantFonts");
            if (descendants.isArray() && descendants.getArrayNItems() > 0) {
                QPDFObjectHandle descendant = descendants.getArrayItem(0);
                if (descendant.isDictionary()) {
                    const std::string name = NameOf(descendant.getKey("/BaseFont"));
                    if (!name.empty()) {
                        m_names.Add(ToUtf8Name(StripSubsetPrefix(name)),
                                    CidFontTraits(NameOf(descendant.getKey("/Subtype"))));
                        return;
                    }
                }
            }
            // Without a usable descendant, the Type 0 name is the descendant's
            // name followed by "-" and the CMap's name.
            std::string name = StripSubsetPrefix(NameOf(font.getKey("/BaseFont")));
            const std::string cmap = NameOf(font.getKey("/Encoding"));
            if (!cmap.empty() && name.size() > cmap.size() + 1 &&
                name.compare(name.size() - cmap.size() - 1, std::string::npos, "-" + cmap) == 0) {
                name.resize(name.size() - cmap.size() - 1);
            }
            m_names.Add(ToUtf8Name(name));
            return;
        }
        DocumentFontTraits traits;
        if (subtype == "Type1" || subtype == "MMType1") traits.outlines = FontOutlines::Type1;
        if (subtype == "TrueType") traits.outlines = FontOutlines::TrueType;
        m_names.Add(ToUtf8Name(StripSubsetPrefix(NameOf(font.getKey("/BaseFont")))), traits);
    }

    // CIDFontType0 fonts are CID-keyed with CFF outlines; CIDFontType2 fonts
    // are TrueType fonts reached through CIDs.
    static DocumentFontTraits CidFontTraits(const std::string& subtype) {
        DocumentFontTraits traits;
        if (subtype == "CIDFontType0") {
            traits.outlines = FontOutlines::Type1;
            traits.cidKeyed = true;
        } else if (subtype == "CIDFontType2") {
            traits.outlines = FontOutlines::TrueType;
        }
        return traits;
    }

    static std::string NameOf(QPDFObjectHandle object) {
        if (!object.isName()) return {};
        std::string name = object.getName();
        if (!name.empty() && name.front() == '/') name.erase(0, 1);
        return name;
    }

    FontNameList& m_names;
    std::set<QPDFObjGen> m_visited;
};

}  // namespace

bool ReadPdfFonts(const std::string& content, FontNameList& fonts, std::string& error) {
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        // A reconstructed cross-reference table could hide part of a damaged
        // or truncated file: such a file is refused, not read in part.
        pdf.setAttemptRecovery(false);
        pdf.processMemoryFile("document", content.data(), content.size());

        FontNameList names;
        PdfFontCollector collector(names);
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(pdf).getAllPages()) {
            collector.Page(page);
        }
        if (pdf.anyWarnings()) {
            const std::vector<QPDFExc> warnings = pdf.getWarnings();
            error = "the PDF is damaged: " + warnings.front().getMessageDetail();
            return false;
        }
        fonts = std::move(names);
        return true;
    } catch (const QPDFExc& e) {
        if (e.getErrorCode() == qpdf_e_password) {
            error = "the PDF is encrypted and cannot be opened without its password";
        } else {
            error = "the PDF is damaged: " + e.getMessageDetail();
        }
    } catch (const std::exception& e) {
        error = std::string("the PDF cannot be read: ") + e.what();
    }
    return false;
}

}  // namespace host
