#include "app/SettingsFile.h"

#include "common/ProgramState.h"
#include "common/SafeWrite.h"
#include "common/XmlLimits.h"

#include <QDir>
#include <QDomDocument>
#include <QFile>

namespace SettingsFile {

namespace {

struct Switch
{
    const char16_t* name;
    bool ProgramState::*field;
};
constexpr Switch Switches[] = {
    {u"enable_internet", &ProgramState::enable_internet},
    {u"enable_update", &ProgramState::enable_update},
    {u"enable_jump_field_tables", &ProgramState::enable_jump_field_tables},
    {u"Double_Click_Auto_Size", &ProgramState::Double_Click_Auto_Size},
};

void setDefaults(ProgramState& s)
{
    s.configurationName.clear();
    s.configurationFolder.clear();
    s.lastDeviceAddress = Product::DefaultDeviceAddress;
    s.language = Product::DefaultLanguage;
    for (const Switch& sw : Switches)
        s.*sw.field = false;
}

// The first child element of the root named outer, and in it the first named inner.
bool lookup(const QDomNode& root, const QString& outer, const QString& inner, QString& text)
{
    const QDomElement o = root.firstChildElement(outer);
    if (o.isNull())
        return false;
    const QDomElement i = o.firstChildElement(inner);
    if (i.isNull())
        return false;
    text = i.text();
    return true;
}

} // namespace

QString path(const ProgramState& state)
{
    return state.programFolder + QDir::separator() + QStringLiteral("Zuvurazaru.xml");
}

void parse(const QByteArray& data, ProgramState& s)
{
    setDefaults(s);
    // The tree reader would expand entities and recurse through any nesting.
    if (!XmlLimits::check(data).isEmpty())
        return;
    QDomDocument doc;
    if (!doc.setContent(data))
        return;
    // The root is whatever node comes first, as the file has always been read.
    const QDomNode root = doc.firstChild();
    QString text;
    if (lookup(root, QStringLiteral("lastproj"), QStringLiteral("projectname"), text))
        s.configurationName = text;
    if (lookup(root, QStringLiteral("lastipadd"), QStringLiteral("ipaddress"), text))
        s.lastDeviceAddress = text;
    if (lookup(root, QStringLiteral("lastlang"), QStringLiteral("language"), text))
        s.language = text;
    for (const Switch& sw : Switches) {
        if (lookup(root, QStringLiteral("lastinternet"), QString::fromUtf16(sw.name), text))
            s.*sw.field = text == QStringLiteral("1");
    }
}

void read(ProgramState& s)
{
    QFile f(path(s));
    const QByteArray data = f.exists() && f.open(QIODevice::ReadOnly) ? f.read(MaxFileSize + 1) : QByteArray();
    if (data.size() > MaxFileSize) {
        setDefaults(s);
        return;
    }
    parse(data, s);
}

QByteArray serialize(const ProgramState& s)
{
    QDomDocument doc;
    QDomElement root = doc.createElement(QStringLiteral("Conf_Settings"));
    doc.appendChild(root);
    auto add = [&](QDomElement parent, const QString& name, const QString& text) {
        QDomElement e = doc.createElement(name);
        e.appendChild(doc.createTextNode(text));
        parent.appendChild(e);
        return e;
    };
    auto group = [&](const QString& name) {
        QDomElement e = doc.createElement(name);
        root.appendChild(e);
        return e;
    };
    add(group(QStringLiteral("lastproj")), QStringLiteral("projectname"), s.configurationName);
    add(group(QStringLiteral("lastipadd")), QStringLiteral("ipaddress"), s.lastDeviceAddress);
    add(group(QStringLiteral("lastlang")), QStringLiteral("language"), s.language);
    QDomElement internet = group(QStringLiteral("lastinternet"));
    for (const Switch& sw : Switches)
        add(internet, QString::fromUtf16(sw.name), s.*sw.field ? QStringLiteral("1") : QStringLiteral("0"));
    return doc.toByteArray(-1);
}

QString write(const ProgramState& s)
{
    return safeWrite(path(s), serialize(s));
}

} // namespace SettingsFile
