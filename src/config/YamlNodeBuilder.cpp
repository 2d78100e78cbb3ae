#include "YamlNodeBuilder.h"

#include <yaml-cpp/exceptions.h>
#include <yaml-cpp/yaml.h>

namespace {

// Tags yaml-cpp gives nodes that name no tag of their own.
bool isNonSpecific(const std::string& tag)
{
    return tag == "?" || tag == "!";
}

} // namespace

void YamlNodeBuilder::OnNull(const YAML::Mark&, YAML::anchor_t anchor)
{
    add(YAML::Node(YAML::NodeType::Null), anchor);
}

void YamlNodeBuilder::OnAlias(const YAML::Mark& mark, YAML::anchor_t anchor)
{
    if (anchor == YAML::NullAnchor || anchor > anchored.size())
        throw YAML::ParserException(mark, "an alias to no anchor");
    attach(anchored[anchor - 1]);
}

void YamlNodeBuilder::OnScalar(const YAML::Mark&, const std::string& tag, YAML::anchor_t anchor,
                               const std::string& value)
{
    YAML::Node scalar(value);
    if (!isNonSpecific(tag))
        scalar.SetTag(tag);
    add(scalar, anchor);
}

void YamlNodeBuilder::OnSequenceStart(const YAML::Mark&, const std::string& tag, YAML::anchor_t anchor,
                                      YAML::EmitterStyle::value style)
{
    openCollection(YAML::Node(YAML::NodeType::Sequence), tag, anchor, style, false);
}

void YamlNodeBuilder::OnSequenceEnd()
{
    open.pop_back();
}

void YamlNodeBuilder::OnMapStart(const YAML::Mark&, const std::string& tag, YAML::anchor_t anchor,
                                 YAML::EmitterStyle::value style)
{
    openCollection(YAML::Node(YAML::NodeType::Map), tag, anchor, style, true);
}

void YamlNodeBuilder::OnMapEnd()
{
    open.pop_back();
}

void YamlNodeBuilder::openCollection(YAML::Node node, const std::string& tag, YAML::anchor_t anchor,
                                     YAML::EmitterStyle::value style, bool isMap)
{
    if (!isNonSpecific(tag))
        node.SetTag(tag);
    if (style == YAML::EmitterStyle::Flow)
        node.SetStyle(style);
    // Attached before it is filled: its entries then join its parent's memory one by one,
    // instead of the whole collection merging into it at once.
    add(node, anchor);
    OpenCollection collection;
    collection.node.reset(node);
    collection.isMap = isMap;
    open.push_back(collection);
}

void YamlNodeBuilder::add(const YAML::Node& node, YAML::anchor_t anchor)
{
    if (anchor != YAML::NullAnchor) {
        if (anchored.size() < anchor)
            anchored.resize(anchor);
        anchored[anchor - 1].reset(node);
    }
    attach(node);
}

void YamlNodeBuilder::attach(const YAML::Node& node)
{
    // YAML::Node assigns through its reference; reset() rebinds the handle instead.
    if (open.empty()) {
        rootNode.reset(node);
        return;
    }
    OpenCollection& parent = open.back();
    if (!parent.isMap) {
        parent.node.push_back(node);
    } else if (!parent.hasKey) {
        parent.key.reset(node);
        parent.hasKey = true;
    } else {
        parent.node.force_insert(parent.key, node);
        parent.hasKey = false;
    }
}
