#pragma once
// Small helpers for walking libxml2's element tree, shared by the reader's source files.
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include <libxml/tree.h>

namespace libkub::xml {

inline std::string_view nameOf(const xmlNode* node)
{
    return node->name != nullptr ? std::string_view(reinterpret_cast<const char*>(node->name))
                                 : std::string_view();
}

inline bool isElement(const xmlNode* node)
{
    return node->type == XML_ELEMENT_NODE;
}

inline bool isNamed(const xmlNode* node, std::string_view name)
{
    return isElement(node) && nameOf(node) == name;
}

inline const xmlNode* firstElement(const xmlNode* node)
{
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isElement(child)) {
            return child;
        }
    }
    return nullptr;
}

inline const xmlNode* nextElement(const xmlNode* node)
{
    for (const xmlNode* sibling = node->next; sibling != nullptr; sibling = sibling->next) {
        if (isElement(sibling)) {
            return sibling;
        }
    }
    return nullptr;
}

inline const xmlNode* firstChild(const xmlNode* node, std::string_view name)
{
    for (const xmlNode* child = node->children; child != nullptr; child = child->next) {
        if (isNamed(child, name)) {
            return child;
        }
    }
    return nullptr;
}

// Iterates the element children of a node.
struct Elements {
    const xmlNode* parent;
    struct Iterator {
        const xmlNode* node;
        const xmlNode* operator*() const { return node; }
        Iterator& operator++()
        {
            node = nextElement(node);
            return *this;
        }
        bool operator!=(const Iterator& other) const { return node != other.node; }
    };
    Iterator begin() const { return {firstElement(parent)}; }
    Iterator end() const { return {nullptr}; }
};

inline Elements elementsOf(const xmlNode* node)
{
    return Elements{node};
}

inline std::optional<std::string> attribute(const xmlNode* node, const char* name)
{
    for (const xmlAttr* property = node->properties; property != nullptr; property = property->next) {
        if (property->name == nullptr ||
            std::strcmp(reinterpret_cast<const char*>(property->name), name) != 0) {
            continue;
        }
        std::string value;
        for (const xmlNode* part = property->children; part != nullptr; part = part->next) {
            if (part->type == XML_TEXT_NODE && part->content != nullptr) {
                value += reinterpret_cast<const char*>(part->content);
            }
        }
        return value;
    }
    return std::nullopt;
}

inline std::string attributeOr(const xmlNode* node, const char* name)
{
    return attribute(node, name).value_or(std::string());
}

inline std::string_view withoutHash(std::string_view reference)
{
    if (!reference.empty() && reference.front() == '#') {
        reference.remove_prefix(1);
    }
    return reference;
}

inline std::string_view trimmed(std::string_view text)
{
    const auto space = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
    while (!text.empty() && space(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && space(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

inline std::string quoted(std::string_view text)
{
    std::string out = "'";
    out += text.substr(0, 80);
    out += "'";
    return out;
}

} // namespace libkub::xml
