#include "update/UpdateJobReader.h"

#include "common/ValueHelpers.h"
#include "common/XmlLimits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QXmlStreamReader>

namespace UpdateJobReader {

namespace {

const QString RootName = QStringLiteral("Ethernet_Update");

// Decimal digits only: no sign, no blanks inside, at most a few digits.
std::optional<quint32> parseDecimal(const QString& text, int maxDigits)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return std::nullopt;
    quint32 v = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        v = v * 10 + quint32(c.unicode() - '0');
    }
    return v;
}

std::optional<quint16> parsePort(const QString& text)
{
    const std::optional<quint32> v = parseDecimal(text.trimmed(), 5);
    if (!v || *v == 0 || *v > 65535)
        return std::nullopt;
    return quint16(*v);
}

std::optional<bool> parseFlag(const QString& text)
{
    const QString t = text.trimmed();
    if (t == QLatin1String("1"))
        return true;
    if (t == QLatin1String("0"))
        return false;
    return std::nullopt;
}

QString quoted(const QString& text)
{
    // Long or odd texts are cut so that the message stays readable.
    QString t = text.left(60);
    if (text.size() > 60)
        t += QStringLiteral("...");
    return QLatin1Char('"') + t + QLatin1Char('"');
}

class Reader
{
public:
    explicit Reader(const QByteArray& data) : m_xml(data) {}

    Result run()
    {
        Result r;
        r.error = readDocument(r.job);
        if (!r.error.isEmpty())
            r.job = Job();
        return r;
    }

private:
    QString xmlError() const
    {
        return QStringLiteral("not a readable XML document (line %1: %2)")
            .arg(m_xml.lineNumber())
            .arg(m_xml.errorString());
    }

    // The text of the current element; false (with the error set) when it holds elements.
    bool text(QString* out, QString* error)
    {
        const QString name = m_xml.name().toString();
        *out = m_xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
        if (m_xml.hasError()) {
            if (m_xml.error() == QXmlStreamReader::UnexpectedElementError)
                *error = QStringLiteral("%1 holds elements where a text is expected").arg(name);
            else
                *error = xmlError();
            return false;
        }
        return true;
    }

    QString readDocument(Job& job)
    {
        while (!m_xml.atEnd()) {
            m_xml.readNext();
            if (m_xml.tokenType() == QXmlStreamReader::DTD && !m_xml.entityDeclarations().isEmpty())
                return QStringLiteral("the document declares entities, which a job never does");
            if (m_xml.isStartElement())
                break;
        }
        if (m_xml.hasError())
            return xmlError();
        if (!m_xml.isStartElement())
            return QStringLiteral("the document holds no element");
        if (m_xml.name() != RootName)
            return QStringLiteral("the root element is %1, not %2").arg(m_xml.name().toString(), RootName);

        QSet<QString> seen;
        bool haveOperations = false;
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            static const QStringList known = {QStringLiteral("Version"),
                                              QStringLiteral("Title"),
                                              QStringLiteral("IP_Address_Dev"),
                                              QStringLiteral("Application_Port"),
                                              QStringLiteral("Boot_Port"),
                                              QStringLiteral("Boot_Port_Sec"),
                                              QStringLiteral("Address_Protection"),
                                              QStringLiteral("Protections"),
                                              QStringLiteral("Operations")};
            if (!known.contains(name)) {
                m_xml.skipCurrentElement();
                continue;
            }
            if (seen.contains(name))
                return QStringLiteral("%1 appears more than once").arg(name);
            seen.insert(name);
            QString error;
            if (name == QLatin1String("Protections")) {
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() != QLatin1String("Protection")) {
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    QString t;
                    if (!text(&t, &error))
                        return error;
                    job.protections.append(t);
                }
            } else if (name == QLatin1String("Operations")) {
                haveOperations = true;
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() != QLatin1String("Operation")) {
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    if (job.operations.size() == MaxOperations)
                        return QStringLiteral("more than %1 operations").arg(MaxOperations);
                    Operation op;
                    error = readOperation(op, int(job.operations.size()) + 1);
                    if (!error.isEmpty())
                        return error;
                    job.operations.append(op);
                }
            } else {
                QString t;
                if (!text(&t, &error))
                    return error;
                if (error = assign(job, name, t); !error.isEmpty())
                    return error;
            }
            if (m_xml.hasError())
                return xmlError();
        }
        if (m_xml.hasError())
            return xmlError();
        // Whatever follows the root must still be well-formed.
        while (!m_xml.atEnd())
            m_xml.readNext();
        if (m_xml.hasError())
            return xmlError();

        for (const QString& name :
             {QStringLiteral("Version"), QStringLiteral("IP_Address_Dev"), QStringLiteral("Application_Port"),
              QStringLiteral("Boot_Port"), QStringLiteral("Boot_Port_Sec")})
            if (!seen.contains(name))
                return QStringLiteral("%1 is missing").arg(name);
        if (!haveOperations)
            return QStringLiteral("Operations is missing");
        if (job.operations.isEmpty())
            return QStringLiteral("Operations holds no Operation");
        return {};
    }

    static QString assign(Job& job, const QString& name, const QString& t)
    {
        if (name == QLatin1String("Version")) {
            job.version = t.trimmed();
            if (job.version != QLatin1String("1000"))
                return QStringLiteral("Version %1 is not supported (1000 expected)").arg(quoted(t));
        } else if (name == QLatin1String("Title")) {
            job.title = t.trimmed();
        } else if (name == QLatin1String("IP_Address_Dev")) {
            const std::optional<QString> address = parseIPv4Address(t);
            if (!address)
                return QStringLiteral("IP_Address_Dev %1 is not an IPv4 address").arg(quoted(t));
            job.deviceAddress = *address;
        } else if (name == QLatin1String("Address_Protection")) {
            job.addressProtection = t.trimmed();
        } else {
            const std::optional<quint16> port = parsePort(t);
            if (!port)
                return QStringLiteral("%1 %2 is not a port number from 1 to 65535").arg(name, quoted(t));
            if (name == QLatin1String("Application_Port"))
                job.applicationPort = *port;
            else if (name == QLatin1String("Boot_Port"))
                job.bootPort = *port;
            else
                job.bootPortSec = *port;
        }
        return {};
    }

    QString readOperation(Operation& op, int number)
    {
        const QString where = QStringLiteral("operation %1: ").arg(number);
        QSet<QString> seen;
        while (m_xml.readNextStartElement()) {
            const QString name = m_xml.name().toString();
            if (!name.startsWith(QLatin1String("Ope_"))) {
                m_xml.skipCurrentElement();
                continue;
            }
            if (seen.contains(name))
                return where + QStringLiteral("%1 appears more than once").arg(name);
            seen.insert(name);
            QString t, error;
            if (!text(&t, &error))
                return where + error;
            if (name == QLatin1String("Ope_FileName")) {
                op.fileName = t;
                if (t.trimmed().isEmpty())
                    return where + QStringLiteral("Ope_FileName is empty");
            } else if (name == QLatin1String("Ope_Start_Address")) {
                const std::optional<quint32> a = parseHexAddress(t);
                if (!a)
                    return where + QStringLiteral("Ope_Start_Address %1 is not a hexadecimal address such "
                                                  "as 0x8000")
                                       .arg(quoted(t));
                op.startAddress = *a;
            } else if (name == QLatin1String("Ope_Read_Back") || name == QLatin1String("Ope_GoToApp_After")) {
                const std::optional<bool> f = parseFlag(t);
                if (!f)
                    return where + QStringLiteral("%1 %2 is neither \"0\" nor \"1\"").arg(name, quoted(t));
                (name == QLatin1String("Ope_Read_Back") ? op.readBack : op.goToAppAfter) = *f;
            } else if (name == QLatin1String("Ope_Bank_Type")) {
                const std::optional<quint32> b = parseDecimal(t.trimmed(), 3);
                if (!b || *b > 255)
                    return where +
                           QStringLiteral("Ope_Bank_Type %1 is not a number from 0 to 255").arg(quoted(t));
                op.bankType = int(*b);
            } else {
                op.texts.insert(name, t);
            }
        }
        if (m_xml.hasError())
            return xmlError();
        for (const QString& name : {QStringLiteral("Ope_FileName"), QStringLiteral("Ope_Start_Address"),
                                    QStringLiteral("Ope_Bank_Type"), QStringLiteral("Ope_Read_Back"),
                                    QStringLiteral("Ope_GoToApp_After")})
            if (!seen.contains(name))
                return where + QStringLiteral("%1 is missing").arg(name);
        return {};
    }

    QXmlStreamReader m_xml;
};

} // namespace

std::optional<quint32> parseHexAddress(const QString& text)
{
    const QString t = text.trimmed();
    if (t.size() < 3 || t.size() > 18 || t.at(0) != QLatin1Char('0') ||
        (t.at(1) != QLatin1Char('x') && t.at(1) != QLatin1Char('X')))
        return std::nullopt;
    quint64 v = 0;
    for (qsizetype i = 2; i < t.size(); ++i) {
        const int digit = ValueHelpers::hexDigit(t.at(i));
        if (digit < 0)
            return std::nullopt;
        v = v * 16 + quint64(digit);
        if (v > 0xFFFFFFFFull)
            return std::nullopt;
    }
    return quint32(v);
}

std::optional<QString> parseIPv4Address(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    QStringList plain;
    for (const QString& part : parts) {
        const QString t = part.trimmed();
        const std::optional<quint32> v = parseDecimal(t, 3);
        if (!v || *v > 255 || (t.size() > 1 && t.startsWith(QLatin1Char('0'))))
            return std::nullopt;
        plain.append(QString::number(*v));
    }
    return plain.join(QLatin1Char('.'));
}

Result read(const QByteArray& data)
{
    if (data.size() > MaxFileSize) {
        Result r;
        r.error = QStringLiteral("the job has %1 bytes, more than the %2 accepted")
                      .arg(data.size())
                      .arg(MaxFileSize);
        return r;
    }
    if (const QString refusal = XmlLimits::check(data); !refusal.isEmpty()) {
        Result r;
        r.error = refusal;
        return r;
    }
    return Reader(data).run();
}

Result load(const QString& path)
{
    Result r;
    const QString shown = QDir::toNativeSeparators(path);
    QFile f(path);
    if (!QFileInfo(path).isFile()) {
        r.error = QStringLiteral("%1: no such job file").arg(shown);
        return r;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        r.error = QStringLiteral("%1: %2").arg(shown, f.errorString());
        return r;
    }
    const QByteArray data = f.read(MaxFileSize + 1);
    if (f.error() != QFileDevice::NoError) {
        r.error = QStringLiteral("%1: %2").arg(shown, f.errorString());
        return r;
    }
    r = read(data);
    if (!r.error.isEmpty())
        r.error = QStringLiteral("%1: %2").arg(shown, r.error);
    return r;
}

} // namespace UpdateJobReader
