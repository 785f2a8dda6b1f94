#include "com/RegistryTree.h"

#include <map>

namespace com {

struct RegistryTree::Node {
    QString name;
    std::map<QString, std::pair<QString, QVariant>> values; // folded name -> (name, value)
    std::map<QString, std::unique_ptr<Node>> children;      // folded name -> key

    std::unique_ptr<Node> clone() const {
        auto n = std::make_unique<Node>();
        n->name = name;
        n->values = values;
        for (const auto& [k, child] : children)
            n->children.emplace(k, child->clone());
        return n;
    }

    bool equals(const Node& o) const {
        if (values != o.values || children.size() != o.children.size())
            return false;
        for (const auto& [k, child] : children) {
            const auto it = o.children.find(k);
            if (it == o.children.end() || child->name != it->second->name ||
                !child->equals(*it->second))
                return false;
        }
        return true;
    }
};

namespace {

using Node = RegistryTree::Node;

QStringList splitPath(const QString& path) {
    return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

QString fold(const QString& s) {
    return s.toCaseFolded();
}

const Node* findNode(const Node* node, const QString& path) {
    for (const QString& part : splitPath(path)) {
        const auto it = node->children.find(fold(part));
        if (it == node->children.end())
            return nullptr;
        node = it->second.get();
    }
    return node;
}

Node* makeNode(Node* node, const QString& path) {
    for (const QString& part : splitPath(path)) {
        auto& slot = node->children[fold(part)];
        if (!slot) {
            slot = std::make_unique<Node>();
            slot->name = part;
        }
        node = slot.get();
    }
    return node;
}

// A registry value: a string, or a number that fits in 32 bits (stored unsigned).
std::optional<QVariant> normalised(const QVariant& v) {
    if (v.typeId() == QMetaType::QString)
        return v;
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    const bool numeric = v.typeId() == QMetaType::Int || v.typeId() == QMetaType::UInt ||
                         v.typeId() == QMetaType::LongLong || v.typeId() == QMetaType::ULongLong;
    if (!numeric || !ok || n < -2147483648LL || n > 4294967295LL)
        return std::nullopt;
    return QVariant(uint(std::uint32_t(n)));
}

QJsonObject nodeToJson(const Node& node) {
    QJsonObject values;
    for (const auto& [k, nv] : node.values) {
        const auto& [name, value] = nv;
        if (value.typeId() == QMetaType::QString)
            values.insert(name, QJsonObject{{QStringLiteral("string"), value.toString()}});
        else
            values.insert(name, QJsonObject{{QStringLiteral("dword"), qint64(value.toUInt())}});
    }
    QJsonObject keys;
    for (const auto& [k, child] : node.children)
        keys.insert(child->name, nodeToJson(*child));
    QJsonObject o;
    if (!values.isEmpty())
        o.insert(QStringLiteral("values"), values);
    if (!keys.isEmpty())
        o.insert(QStringLiteral("keys"), keys);
    return o;
}

bool nodeFromJson(const QJsonObject& json, Node& node, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    for (auto it = json.begin(); it != json.end(); ++it) {
        if (it.key() != QLatin1String("values") && it.key() != QLatin1String("keys"))
            return fail(QStringLiteral("unknown entry \"%1\"").arg(it.key()));
        if (!it.value().isObject())
            return fail(QStringLiteral("\"%1\" is not an object").arg(it.key()));
    }
    const QJsonObject values = json.value(QStringLiteral("values")).toObject();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QJsonObject v = it.value().toObject();
        if (v.value(QStringLiteral("string")).isString()) {
            node.values[fold(it.key())] = {it.key(), v.value(QStringLiteral("string")).toString()};
            continue;
        }
        const QJsonValue dword = v.value(QStringLiteral("dword"));
        const double d = dword.toDouble(-1);
        if (!dword.isDouble() || d < 0 || d > 4294967295.0 || d != double(qint64(d)))
            return fail(QStringLiteral("bad value \"%1\" under \"%2\"").arg(it.key(), node.name));
        node.values[fold(it.key())] = {it.key(), QVariant(uint(qint64(d)))};
    }
    const QJsonObject keys = json.value(QStringLiteral("keys")).toObject();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        if (it.key().isEmpty() || it.key().contains(QLatin1Char('\\')) || !it.value().isObject())
            return fail(QStringLiteral("bad key \"%1\" under \"%2\"").arg(it.key(), node.name));
        auto child = std::make_unique<Node>();
        child->name = it.key();
        if (!nodeFromJson(it.value().toObject(), *child, error))
            return false;
        node.children[fold(it.key())] = std::move(child);
    }
    return true;
}

} // namespace

RegistryTree::RegistryTree()
    : m_root(std::make_unique<Node>()) {}

RegistryTree::RegistryTree(const RegistryTree& other)
    : m_root(other.m_root->clone()) {}

RegistryTree& RegistryTree::operator=(const RegistryTree& other) {
    if (this != &other)
        m_root = other.m_root->clone();
    return *this;
}

RegistryTree::~RegistryTree() = default;

bool RegistryTree::setValue(const QString& keyPath, const QString& name, const QVariant& value) {
    const auto v = normalised(value);
    if (!v || splitPath(keyPath).isEmpty())
        return false;
    makeNode(m_root.get(), keyPath)->values[fold(name)] = {name, *v};
    return true;
}

std::optional<QVariant> RegistryTree::value(const QString& keyPath, const QString& name) const {
    const Node* n = findNode(m_root.get(), keyPath);
    if (!n)
        return std::nullopt;
    const auto it = n->values.find(fold(name));
    if (it == n->values.end())
        return std::nullopt;
    return it->second.second;
}

QString RegistryTree::stringValue(const QString& keyPath, const QString& name) const {
    const auto v = value(keyPath, name);
    return v ? v->toString() : QString();
}

void RegistryTree::createKey(const QString& keyPath) {
    makeNode(m_root.get(), keyPath);
}

bool RegistryTree::hasKey(const QString& keyPath) const {
    return !splitPath(keyPath).isEmpty() && findNode(m_root.get(), keyPath) != nullptr;
}

bool RegistryTree::deleteKey(const QString& keyPath) {
    QStringList parts = splitPath(keyPath);
    if (parts.isEmpty())
        return false;
    const QString last = parts.takeLast();
    Node* parent = const_cast<Node*>(findNode(m_root.get(), parts.join(QLatin1Char('\\'))));
    return parent && parent->children.erase(fold(last)) > 0;
}

bool RegistryTree::deleteValue(const QString& keyPath, const QString& name) {
    Node* n = const_cast<Node*>(findNode(m_root.get(), keyPath));
    return n && n->values.erase(fold(name)) > 0;
}

QStringList RegistryTree::subKeys(const QString& keyPath) const {
    QStringList out;
    if (const Node* n = findNode(m_root.get(), keyPath)) {
        for (const auto& [k, child] : n->children)
            out.append(child->name);
    }
    return out;
}

QStringList RegistryTree::valueNames(const QString& keyPath) const {
    QStringList out;
    if (const Node* n = findNode(m_root.get(), keyPath)) {
        for (const auto& [k, nv] : n->values)
            out.append(nv.first);
    }
    return out;
}

bool RegistryTree::isEmpty() const {
    return m_root->children.empty() && m_root->values.empty();
}

QJsonObject RegistryTree::toJson() const {
    return nodeToJson(*m_root);
}

bool RegistryTree::fromJson(const QJsonObject& json, QString* error) {
    auto root = std::make_unique<Node>();
    if (!nodeFromJson(json, *root, error))
        return false;
    m_root = std::move(root);
    return true;
}

bool operator==(const RegistryTree& a, const RegistryTree& b) {
    return a.m_root->equals(*b.m_root);
}

} // namespace com
