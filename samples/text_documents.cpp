#include "samples/text_documents.h"

#include <cstdint>
#include <fstream>

namespace samples {

namespace {

std::string XmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

void FontLines(std::string& out, const char* comment, const std::vector<std::string>& fonts) {
    if (fonts.empty()) return;
    out += comment;
    out += " font " + fonts.front() + "\n";
    for (std::size_t i = 1; i < fonts.size(); ++i) out += "%%+ font " + fonts[i] + "\n";
}

void PutLe32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

}  // namespace

std::string SvgWithFamilies(const std::vector<std::string>& familyLists, const std::string& css) {
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"420\" height=\"" +
        std::to_string(30 * (familyLists.size() + 2)) + "\">\n";
    if (!css.empty()) svg += "  <style><![CDATA[\n" + css + "\n  ]]></style>\n";
    int y = 30;
    for (const std::string& families : familyLists) {
        svg += "  <text x=\"10\" y=\"" + std::to_string(y) + "\" font-family=\"" +
               XmlEscape(families) + "\" font-size=\"18\">Sample text</text>\n";
        y += 30;
    }
    svg += "</svg>\n";
    return svg;
}

std::string DscPostScript(const std::vector<std::string>& needed,
                          const std::vector<std::string>& supplied, bool atend, bool eps) {
    std::string ps = eps ? "%!PS-Adobe-3.0 EPSF-3.0\n" : "%!PS-Adobe-3.0\n";
    ps += "%%Creator: make-samples\n%%BoundingBox: 0 0 420 120\n";
    if (atend) {
        ps += "%%DocumentNeededResources: (atend)\n%%DocumentSuppliedResources: (atend)\n";
    } else {
        FontLines(ps, "%%DocumentNeededResources:", needed);
        FontLines(ps, "%%DocumentSuppliedResources:", supplied);
    }
    ps += "%%Pages: 1\n%%EndComments\n%%Page: 1 1\n";
    int y = 100;
    for (const std::string& font : needed) {
        ps += "/" + font + " findfont 18 scalefont setfont 10 " + std::to_string(y) +
              " moveto (Sample text) show\n";
        y -= 24;
    }
    ps += "showpage\n%%Trailer\n";
    if (atend) {
        FontLines(ps, "%%DocumentNeededResources:", needed);
        FontLines(ps, "%%DocumentSuppliedResources:", supplied);
    }
    ps += "%%EOF\n";
    return ps;
}

std::string DosEpsBinary(const std::string& postscript) {
    std::string out("\xC5\xD0\xD3\xC6", 4);
    PutLe32(out, 30);
    PutLe32(out, static_cast<std::uint32_t>(postscript.size()));
    for (int i = 0; i < 4; ++i) PutLe32(out, 0);  // no WMF or TIFF preview
    out.push_back('\xFF');                        // checksum 0xFFFF: none
    out.push_back('\xFF');
    return out + postscript;
}

bool WriteTextFile(const std::string& path, const std::string& content, std::string& error) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << content;
    out.close();
    if (!out) {
        error = path + ": cannot write the file";
        return false;
    }
    return true;
}

}  // namespace samples
