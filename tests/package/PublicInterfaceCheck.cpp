// Keeps the list of public headers true: reads a manifest of the library's files ("public",
// "internal" or "source" followed by a path, one per line; "root" names the directory that
// messages give paths relative to) and fails when a public header
//  - includes an internal header, or a third-party header the library keeps to itself
//    (QCustomPlot, yaml-cpp, libyaml, Graphviz);
//  - names a library class of an internal header (or a class that only a source file defines)
//    anywhere a host sees it: at namespace scope, in a public or protected member, a base
//    class, a Q_PROPERTY or an inline body, forward-declared or not; or names a type of the
//    private third-party libraries there;
//  - defines a class at namespace scope without the export macro or without a doc comment.
// Private members may name anything a forward declaration allows: that is implementation.
//
// A plain C++ lexer and a scope tracker, no compiler: it runs in well under a second, so it can
// guard every build. It understands what this code base writes (one class per header, Qt's
// access labels and macros); it is not a C++ parser.
#include <algorithm>
#include <cctype>
#include <fstream>
#include <iostream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Token
{
    enum Kind { Identifier, Punctuation, DocComment, Include };
    Kind kind;
    std::string text;
    int line;
};

bool isIdentifierStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) || c == '_';
}

bool isIdentifierChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

/// Identifiers, punctuation (with "::" as one token), doc comments and the targets of
/// #include; other comments, literals and preprocessor lines are dropped.
std::vector<Token> tokenize(const std::string& text)
{
    std::vector<Token> tokens;
    int line = 1;
    bool lineStart = true;
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++i;
            continue;
        }
        if (c == '#' && lineStart) {
            std::string directive;
            while (i < size && text[i] != '\n') {
                if (text[i] == '\\' && i + 1 < size && text[i + 1] == '\n') {
                    ++line;
                    i += 2;
                    continue;
                }
                directive += text[i++];
            }
            static const std::regex include(R"(^#\s*include\s*[<"]([^>"]+)[>"])");
            std::smatch match;
            if (std::regex_search(directive, match, include))
                tokens.push_back({Token::Include, match[1].str(), line});
            continue;
        }
        lineStart = false;
        if (c == '/' && i + 1 < size && text[i + 1] == '/') {
            const bool doc = i + 2 < size && text[i + 2] == '/';
            const int startLine = line;
            while (i < size && text[i] != '\n')
                ++i;
            if (doc)
                tokens.push_back({Token::DocComment, "///", startLine});
            continue;
        }
        if (c == '/' && i + 1 < size && text[i + 1] == '*') {
            const bool doc = i + 2 < size && text[i + 2] == '*';
            const int startLine = line;
            i += 2;
            while (i + 1 < size && !(text[i] == '*' && text[i + 1] == '/')) {
                if (text[i] == '\n')
                    ++line;
                ++i;
            }
            i += 2;
            if (doc)
                tokens.push_back({Token::DocComment, "/**", startLine});
            continue;
        }
        if (c == 'R' && i + 1 < size && text[i + 1] == '"') {
            const size_t open = text.find('(', i);
            const std::string end = ")" + text.substr(i + 2, open - i - 2) + "\"";
            const size_t close = text.find(end, open);
            for (size_t j = i; j < close && j < size; ++j)
                line += text[j] == '\n';
            i = close == std::string::npos ? size : close + end.size();
            continue;
        }
        if (c == '"' || c == '\'') {
            ++i;
            while (i < size && text[i] != c) {
                if (text[i] == '\\')
                    ++i;
                ++i;
            }
            ++i;
            continue;
        }
        if (isIdentifierStart(c)) {
            size_t end = i;
            while (end < size && isIdentifierChar(text[end]))
                ++end;
            tokens.push_back({Token::Identifier, text.substr(i, end - i), line});
            i = end;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c))) {
            while (i < size && (isIdentifierChar(text[i]) || text[i] == '.' || text[i] == '\''))
                ++i;
            continue;
        }
        if (c == ':' && i + 1 < size && text[i + 1] == ':') {
            tokens.push_back({Token::Punctuation, "::", line});
            i += 2;
            continue;
        }
        tokens.push_back({Token::Punctuation, std::string(1, c), line});
        ++i;
    }
    return tokens;
}

/// Macros (capitals with an underscore) that are not part of a declaration's shape, such as
/// the export macro or Q_OBJECT.
bool isShapelessMacro(const std::string& word)
{
    static const std::set<std::string> labels{"Q_SIGNALS", "Q_SLOTS"};
    return word.find('_') != std::string::npos && std::all_of(word.begin(), word.end(), [](char c) {
               return std::isupper(static_cast<unsigned char>(c)) || std::isdigit(static_cast<unsigned char>(c))
                   || c == '_';
           }) && !labels.count(word);
}

bool isForeignNamespace(const std::string& name)
{
    static const std::set<std::string> foreign{"std", "Qt", "QtPrivate", "QTest", "YAML", "QtMetaTypePrivate"};
    return foreign.count(name) > 0;
}

/// What one file declares and, for a public header, what it shows a host.
struct FileScan
{
    struct Use
    {
        std::string name;
        int line;
        std::string where; // "at namespace scope", "in a public or protected member of X"...
    };
    struct Definition
    {
        std::string name;
        int line;
        bool exported;
        bool documented;
        bool isTemplate;
    };
    std::vector<Definition> classes;     // defined at namespace scope
    std::set<std::string> aliases;       // using/typedef at namespace scope
    std::set<std::string> namespaces;    // declaring more than forward declarations, at top level
    std::set<std::string> forwardDeclared;
    std::vector<Use> visibleNames;       // identifiers a host sees
    std::vector<std::pair<std::string, int>> includes;
};

class Scanner
{
public:
    Scanner(const std::vector<Token>& tokens, bool publicHeader)
        : tokens(tokens)
    {
        scopes.push_back({Scope::File, publicHeader, Access::Public, "", false});
    }

    FileScan run()
    {
        for (position = 0; position < tokens.size(); ++position)
            step(tokens[position]);
        return result;
    }

private:
    enum class Access { Public, Protected, Private };
    struct Scope
    {
        enum Kind { File, Namespace, Class, Block } kind;
        bool visible; // the scope itself can be seen by a host
        Access access;
        std::string name;
        bool foreign; // inside a namespace of another library
        bool declaresSomething = false; // more than forward declarations (namespaces only)
    };

    bool contextVisible() const
    {
        const Scope& scope = scopes.back();
        return scope.visible && (scope.kind != Scope::Class || scope.access != Access::Private);
    }

    bool atNamespaceScope() const
    {
        return scopes.back().kind == Scope::File || scopes.back().kind == Scope::Namespace;
    }

    std::string enclosingClass() const
    {
        for (auto it = scopes.rbegin(); it != scopes.rend(); ++it) {
            if (it->kind == Scope::Class)
                return it->name;
        }
        return "";
    }

    /// The statement's words that give it its shape: no template header, no shapeless macro.
    std::vector<std::string> shape() const
    {
        std::vector<std::string> words;
        size_t i = 0;
        if (!statement.empty() && statement[0].text == "template") {
            int depth = 0;
            for (i = 1; i < statement.size(); ++i) {
                if (statement[i].text == "<")
                    ++depth;
                else if (statement[i].text == ">" && --depth == 0) {
                    ++i;
                    break;
                }
            }
        }
        for (; i < statement.size(); ++i) {
            const Token& token = statement[i];
            if (token.kind == Token::Identifier && isShapelessMacro(token.text))
                continue;
            words.push_back(token.text);
        }
        return words;
    }

    bool isTemplateStatement() const
    {
        return !statement.empty() && statement[0].text == "template";
    }

    /// Where a host sees what the current statement names.
    std::string place() const
    {
        const std::string owner = enclosingClass();
        return owner.empty() ? "at namespace scope" : "in a public or protected member of " + owner;
    }

    void recordVisibleNames(const std::vector<Token>& words, const std::string& skip = "", std::string where = "")
    {
        if (!contextVisible())
            return;
        if (where.empty())
            where = place();
        for (const Token& token : words) {
            if (token.kind == Token::Identifier && token.text != skip)
                result.visibleNames.push_back({token.text, token.line, where});
        }
    }

    /// Ends a statement at ';' (or at '}' without one): records what it declares and shows.
    void finishStatement()
    {
        const std::vector<std::string> words = shape();
        if (words.empty()) {
            clearStatement();
            return;
        }
        const bool classKeyword = words[0] == "class" || words[0] == "struct" || words[0] == "union";
        if (classKeyword && words.size() == 2) {
            result.forwardDeclared.insert(words[1]);
        } else if (words[0] == "friend") {
            markDeclaration();
            // A friend is the class's own business, not something it hands out.
        } else {
            markDeclaration();
            if (atNamespaceScope() && !scopes.back().foreign)
                recordAlias(words);
            recordVisibleNames(statement);
        }
        clearStatement();
    }

    /// The enclosing namespaces declare something: a namespace that holds only forward
    /// declarations (of another header's classes) belongs to that other header.
    void markDeclaration()
    {
        for (Scope& scope : scopes) {
            if (scope.kind == Scope::Namespace)
                scope.declaresSomething = true;
        }
    }

    void recordAlias(const std::vector<std::string>& words)
    {
        if (words[0] == "using" && words.size() > 2 && words[2] == "=")
            result.aliases.insert(words[1]);
        if (words[0] == "typedef" && words.size() > 2 && isIdentifierStart(words.back()[0]))
            result.aliases.insert(words.back());
    }

    void clearStatement()
    {
        statement.clear();
        statementDocumented = false;
    }

    /// '{': a namespace, a class body or a block (function body, enumerators, initialiser).
    void openScope()
    {
        const std::vector<std::string> words = shape();
        const Scope& parent = scopes.back();
        if (!words.empty() && (words[0] == "namespace" || (words[0] == "inline" && words.size() > 1
                                                              && words[1] == "namespace"))) {
            const std::string name = words.back() == "namespace" ? "" : words.back();
            scopes.push_back({Scope::Namespace, parent.visible, Access::Public, name,
                              parent.foreign || isForeignNamespace(name)});
            clearStatement();
            return;
        }
        const bool classKeyword = !words.empty() && (words[0] == "class" || words[0] == "struct"
                                                     || words[0] == "union");
        const bool hasParenthesis = std::find(words.begin(), words.end(), "(") != words.end();
        if (classKeyword && !hasParenthesis) {
            openClass(words);
            return;
        }
        markDeclaration();
        recordVisibleNames(statement);
        scopes.push_back({Scope::Block, contextVisible(), Access::Public, "", parent.foreign});
        clearStatement();
    }

    void openClass(const std::vector<std::string>& words)
    {
        // The name is the last word before the base clause, "final" or a specialisation's '<'.
        std::string name;
        bool specialisation = false;
        for (size_t i = 1; i < words.size(); ++i) {
            if (words[i] == ":" || words[i] == "{")
                break;
            if (words[i] == "<") {
                specialisation = true;
                break;
            }
            if (words[i] != "final" && isIdentifierStart(words[i][0]))
                name = words[i];
        }
        const bool exported = std::any_of(statement.begin(), statement.end(),
                                          [](const Token& token) { return token.text == "DOZEROZOZU_EXPORT"; });
        const bool visibleBefore = contextVisible();
        markDeclaration();
        if (atNamespaceScope() && !scopes.back().foreign && !name.empty() && !specialisation) {
            result.classes.push_back({name, statement.empty() ? 0 : statement[0].line, exported,
                                      statementDocumented, isTemplateStatement()});
        }
        recordVisibleNames(statement, name, "in the bases of " + name);
        scopes.push_back({Scope::Class, visibleBefore, words[0] == "class" ? Access::Private : Access::Public,
                          name, scopes.back().foreign});
        clearStatement();
    }

    void closeScope()
    {
        finishStatement();
        if (scopes.size() < 2)
            return;
        const Scope closed = scopes.back();
        scopes.pop_back();
        if (closed.kind == Scope::Namespace && scopes.back().kind == Scope::File && closed.declaresSomething
            && !closed.name.empty() && !isForeignNamespace(closed.name))
            result.namespaces.insert(closed.name);
    }

    /// "public:", "protected Q_SLOTS:", "Q_SIGNALS:" and the like inside a class.
    bool takeAccessLabel()
    {
        if (scopes.back().kind != Scope::Class)
            return false;
        const std::vector<std::string> words = shape();
        if (words.empty() || words.size() > 2)
            return false;
        const std::string& first = words[0];
        if (words.size() == 2 && words[1] != "Q_SLOTS" && words[1] != "slots")
            return false;
        if (first == "public" || first == "Q_SIGNALS" || first == "signals")
            scopes.back().access = Access::Public;
        else if (first == "protected")
            scopes.back().access = Access::Protected;
        else if (first == "private")
            scopes.back().access = Access::Private;
        else
            return false;
        clearStatement();
        return true;
    }

    /// Q_PROPERTY(...), Q_ENUM(...), Q_DECLARE_METATYPE(...) and the like outside bodies stand
    /// alone, with or without a ';'. A property is public whatever section holds it.
    bool takeMacroCall(const Token& token)
    {
        if (scopes.back().kind == Scope::Block || !statement.empty() || !isShapelessMacro(token.text)
            || position + 1 >= tokens.size() || tokens[position + 1].text != "(")
            return false;
        std::vector<Token> arguments;
        int depth = 0;
        size_t i = position + 1;
        for (; i < tokens.size(); ++i) {
            if (tokens[i].text == "(")
                ++depth;
            else if (tokens[i].text == ")" && --depth == 0)
                break;
            else
                arguments.push_back(tokens[i]);
        }
        position = i;
        const bool property = token.text == "Q_PROPERTY" && scopes.back().kind == Scope::Class;
        if (property && scopes.back().visible) {
            for (const Token& argument : arguments) {
                if (argument.kind == Token::Identifier)
                    result.visibleNames.push_back({argument.text, argument.line, "in a property of " + enclosingClass()});
            }
        } else if (!property) {
            recordVisibleNames(arguments);
        }
        return true;
    }

    void step(const Token& token)
    {
        switch (token.kind) {
        case Token::Include:
            result.includes.push_back({token.text, token.line});
            return;
        case Token::DocComment:
            if (statement.empty())
                pendingDoc = true;
            return;
        case Token::Identifier:
            if (takeMacroCall(token))
                return;
            // Q_OBJECT, QT_BEGIN_NAMESPACE, Q_INVOKABLE and the like do not begin a statement.
            if (statement.empty() && isShapelessMacro(token.text))
                return;
            break;
        case Token::Punctuation:
            if (token.text == ";") {
                finishStatement();
                pendingDoc = false;
                return;
            }
            if (token.text == "{") {
                openScope();
                pendingDoc = false;
                return;
            }
            if (token.text == "}") {
                closeScope();
                pendingDoc = false;
                return;
            }
            if (token.text == ":" && takeAccessLabel()) {
                pendingDoc = false;
                return;
            }
            break;
        }
        if (statement.empty()) {
            statementDocumented = pendingDoc;
            pendingDoc = false;
        }
        statement.push_back(token);
    }

    const std::vector<Token>& tokens;
    size_t position = 0;
    std::vector<Scope> scopes;
    std::vector<Token> statement;
    bool pendingDoc = false;
    bool statementDocumented = false;
    FileScan result;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string baseName(const std::string& path)
{
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isPrivateThirdPartyInclude(const std::string& include)
{
    static const std::regex privateInclude(R"(^(qcustomplot\.h|yaml-cpp/.*|yaml\.h|graphviz/.*|gvc\.h|cgraph\.h)$)");
    return std::regex_match(include, privateInclude);
}

bool isPrivateThirdPartyName(const std::string& name)
{
    static const std::regex privateName(R"(^(YAML|QCustomPlot|QCP[A-Z]\w*|Ag[a-z]+_t|GVC_t)$)");
    return std::regex_match(name, privateName);
}

struct Manifest
{
    std::string root;
    std::vector<std::string> publicHeaders;
    std::vector<std::string> internalHeaders;
    std::vector<std::string> sources;
};

Manifest readManifest(const std::string& path)
{
    Manifest manifest;
    std::istringstream lines(readFile(path));
    std::string kind;
    std::string file;
    while (lines >> kind && std::getline(lines >> std::ws, file)) {
        if (kind == "root")
            manifest.root = file;
        else if (kind == "public")
            manifest.publicHeaders.push_back(file);
        else if (kind == "internal")
            manifest.internalHeaders.push_back(file);
        else if (kind == "source")
            manifest.sources.push_back(file);
        else
            throw std::runtime_error("unknown manifest entry " + kind);
    }
    return manifest;
}

std::string relativeTo(const std::string& root, const std::string& path)
{
    return !root.empty() && path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : path;
}

FileScan scan(const std::string& path, bool publicHeader)
{
    return Scanner(tokenize(readFile(path)), publicHeader).run();
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <manifest>\n";
        return 2;
    }
    try {
        const Manifest manifest = readManifest(argv[1]);
        std::map<std::string, FileScan> publicScans;
        std::set<std::string> publicNames;
        std::set<std::string> publicForwardDeclared;
        for (const std::string& header : manifest.publicHeaders) {
            FileScan& fileScan = publicScans[header] = scan(header, true);
            for (const FileScan::Definition& definition : fileScan.classes)
                publicNames.insert(definition.name);
            publicNames.insert(fileScan.aliases.begin(), fileScan.aliases.end());
            publicNames.insert(fileScan.namespaces.begin(), fileScan.namespaces.end());
            publicForwardDeclared.insert(fileScan.forwardDeclared.begin(), fileScan.forwardDeclared.end());
        }

        // Internal: what internal headers declare, and classes only a source file defines.
        std::map<std::string, std::string> internalNames; // name -> where it is declared
        std::set<std::string> internalHeaderNames;
        auto addInternal = [&](const std::string& name, const std::string& where) {
            if (!publicNames.count(name) && !internalNames.count(name))
                internalNames[name] = where;
        };
        for (const std::string& header : manifest.internalHeaders) {
            internalHeaderNames.insert(baseName(header));
            const FileScan fileScan = scan(header, false);
            for (const FileScan::Definition& definition : fileScan.classes)
                addInternal(definition.name, relativeTo(manifest.root, header));
            for (const std::string& alias : fileScan.aliases)
                addInternal(alias, relativeTo(manifest.root, header));
            for (const std::string& name : fileScan.namespaces)
                addInternal(name, relativeTo(manifest.root, header));
        }
        for (const std::string& source : manifest.sources) {
            for (const FileScan::Definition& definition : scan(source, false).classes) {
                if (publicForwardDeclared.count(definition.name))
                    addInternal(definition.name, relativeTo(manifest.root, source));
            }
        }

        std::vector<std::string> problems;
        for (const auto& [path, fileScan] : publicScans) {
            const std::string header = relativeTo(manifest.root, path);
            for (const auto& [include, line] : fileScan.includes) {
                if (internalHeaderNames.count(baseName(include)))
                    problems.push_back(header + ":" + std::to_string(line) + ": includes the internal header "
                                       + include);
                else if (isPrivateThirdPartyInclude(include))
                    problems.push_back(header + ":" + std::to_string(line) + ": includes " + include
                                       + ", which the library keeps private (use a private implementation)");
            }
            std::set<std::pair<std::string, int>> reported; // each name once per line
            for (const FileScan::Use& use : fileScan.visibleNames) {
                const std::string& where = use.where;
                const auto internal = internalNames.find(use.name);
                if (internal != internalNames.end() && reported.insert({use.name, use.line}).second) {
                    problems.push_back(header + ":" + std::to_string(use.line) + ": names the internal class "
                                       + use.name + " (" + internal->second + ") " + where);
                } else if (isPrivateThirdPartyName(use.name) && reported.insert({use.name, use.line}).second) {
                    problems.push_back(header + ":" + std::to_string(use.line) + ": names " + use.name
                                       + " of a library kept private " + where);
                }
            }
            for (const FileScan::Definition& definition : fileScan.classes) {
                if (!definition.exported && !definition.isTemplate)
                    problems.push_back(header + ":" + std::to_string(definition.line) + ": public class "
                                       + definition.name + " lacks DOZEROZOZU_EXPORT");
                if (!definition.documented)
                    problems.push_back(header + ":" + std::to_string(definition.line) + ": public class "
                                       + definition.name + " lacks a doc comment");
            }
        }

        if (!problems.empty()) {
            for (const std::string& problem : problems)
                std::cout << problem << "\n";
            std::cout << problems.size() << " problem(s) in the public headers. Make the named class public "
                      << "(src/PublicHeaders.cmake), or keep it out of what a host sees (a private member, a "
                      << "private implementation).\n";
            return 1;
        }
        std::cout << "Public headers: " << manifest.publicHeaders.size() << ", internal headers: "
                  << manifest.internalHeaders.size() << ", internal names: " << internalNames.size()
                  << "; no public header shows an internal class.\n";
        return 0;
    } catch (const std::exception& error) {
        std::cerr << error.what() << "\n";
        return 2;
    }
}
