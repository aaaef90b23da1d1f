#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstring>
#include <limits>
#include <memory>

#include "documents/css_font_family.h"
#include "documents/font_name_list.h"
#include "documents/svg_fonts.h"

namespace host {

namespace {

struct ParserContextDeleter {
    void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct DocumentDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct XmlCharDeleter {
    void operator()(xmlChar* text) const { xmlFree(text); }
};

using XmlText = std::unique_ptr<xmlChar, XmlCharDeleter>;

std::string AsString(const xmlChar* text) {
    return text ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

bool IsNamed(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

std::string Attribute(xmlNode* node, const char* name) {
    // Presentation attributes have no namespace.
    XmlText value(xmlGetNoNsProp(node, reinterpret_cast<const xmlChar*>(name)));
    return AsString(value.get());
}

void Collect(xmlNode* first, FontNameList& names) {
    // Iterative, so that deeply nested documents cannot exhaust the stack.
    xmlNode* node = first;
    while (node) {
        // SVG fonts (<font>, <font-face>) define the fonts they name.
        if (node->type == XML_ELEMENT_NODE && !IsNamed(node, "font") &&
            !IsNamed(node, "font-face")) {
            names.Add(FirstSpecificFamily(Attribute(node, "font-family")));
            for (std::string& family : FamiliesInDeclarations(Attribute(node, "style"))) {
                names.Add(std::move(family));
            }
            if (IsNamed(node, "style")) {
                XmlText sheet(xmlNodeGetContent(node));
                for (std::string& family : FamiliesInStyleSheet(AsString(sheet.get()))) {
                    names.Add(std::move(family));
                }
            } else if (node->children) {
                node = node->children;
                continue;
            }
        }
        while (node && !node->next) {
            node = node->parent;
            if (node == first->parent) return;
        }
        if (node) node = node->next;
    }
}

}  // namespace

bool ReadSvgFonts(const std::string& content, FontNameList& fonts, std::string& error) {
    if (content.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        error = "the SVG is too large";
        return false;
    }
    xmlInitParser();
    std::unique_ptr<xmlParserCtxt, ParserContextDeleter> ctxt(xmlNewParserCtxt());
    if (!ctxt) {
        error = "out of memory while reading the SVG";
        return false;
    }
    // No network, no external entities or DTDs, no messages on stderr.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    std::unique_ptr<xmlDoc, DocumentDeleter> doc(
        xmlCtxtReadMemory(ctxt.get(), content.data(), static_cast<int>(content.size()),
                          "document.svg", nullptr, options));
    const xmlError* xmlErr = xmlCtxtGetLastError(ctxt.get());
    if (!doc || (xmlErr && xmlErr->level >= XML_ERR_ERROR)) {
        std::string message = xmlErr && xmlErr->message ? xmlErr->message : "unknown error";
        while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) {
            message.pop_back();
        }
        error = "the SVG is not well-formed XML";
        if (xmlErr) error += " (line " + std::to_string(xmlErr->line) + ": " + message + ")";
        return false;
    }
    xmlNode* root = xmlDocGetRootElement(doc.get());
    if (!root || !IsNamed(root, "svg")) {
        error = "not an SVG document (the root element is <" +
                (root ? AsString(root->name) : std::string()) + ">)";
        return false;
    }
    FontNameList names;
    Collect(root, names);
    fonts = std::move(names);
    return true;
}

}  // namespace host
