#pragma once

#include <yaml-cpp/anchor.h>
#include <yaml-cpp/emitterstyle.h>
#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/node/node.h>

#include <vector>

/**
 * Builds a YAML::Node of one document from yaml-cpp's parser events, as YAML::Load() builds
 * it: aliases share the node they repeat, duplicate keys are kept in order, flow collections
 * keep their style and explicit tags their tag. Built through yaml-cpp's public node interface,
 * which sets no marks. BoundedYaml::load() drives it; anything else that hands over checked
 * events may too.
 *
 * One document per builder; not copyable; any thread.
 */
class YamlNodeBuilder : public YAML::EventHandler
{
public:
    /// The document's top node; a null node before any event.
    YAML::Node root() const { return rootNode; }

    void OnDocumentStart(const YAML::Mark&) override {}
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark& mark, YAML::anchor_t anchor) override;
    void OnAlias(const YAML::Mark& mark, YAML::anchor_t anchor) override;
    void OnScalar(const YAML::Mark& mark, const std::string& tag, YAML::anchor_t anchor,
                  const std::string& value) override;
    void OnSequenceStart(const YAML::Mark& mark, const std::string& tag, YAML::anchor_t anchor,
                         YAML::EmitterStyle::value style) override;
    void OnSequenceEnd() override;
    void OnMapStart(const YAML::Mark& mark, const std::string& tag, YAML::anchor_t anchor,
                    YAML::EmitterStyle::value style) override;
    void OnMapEnd() override;

private:
    struct OpenCollection
    {
        YAML::Node node;
        bool isMap = false;
        bool hasKey = false;
        YAML::Node key;
    };

    void openCollection(YAML::Node node, const std::string& tag, YAML::anchor_t anchor,
                        YAML::EmitterStyle::value style, bool isMap);
    void add(const YAML::Node& node, YAML::anchor_t anchor);
    void attach(const YAML::Node& node);

    YAML::Node rootNode;
    std::vector<OpenCollection> open;
    std::vector<YAML::Node> anchored;
};
