#pragma once

#include <QString>

#include <array>

// Name tables and text checks of the family's OPC UA, SNMP and KNX editors.
namespace FamilyChecks {

// OPC UA node identifier types: 0 "Numeric", 3 "String", 4 "Guid",
// 5 "ByteString"; other codes give an empty name. A name is read in any
// letter case; an unknown name reads as 0.
QString nodeIdTypeName(int code);
int nodeIdTypeCode(const QString& name);

// OPC UA data types 0 "Boolean" to 14 "ByteString"; other codes give an empty
// name, an unknown name reads as -1.
QString dataTypeName(int code);
int dataTypeCode(const QString& name);

// User token types: 0 "Anonymous", 1 "Username and Password", otherwise
// "Certificate"; an unknown name reads as 2.
QString userTokenTypeName(int code);
int userTokenTypeCode(const QString& name);

// Message security modes: 0 "None", 1 "Sign", otherwise "Sign and Encrypt";
// an unknown name reads as 2.
QString securityModeName(int code);
int securityModeCode(const QString& name);

// Security policies 0 "None" to 4, otherwise "AES 256 SHA 256 RSA PSS"; an
// unknown name reads as 5.
QString securityPolicyName(int code);
int securityPolicyCode(const QString& name);

struct Guid
{
    quint32 data1 = 0;
    quint16 data2 = 0;
    quint16 data3 = 0;
    std::array<quint8, 8> data4{};
};

struct NodeId
{
    // A node identifier type code (see nodeIdTypeName).
    int identifierType = 0;
    quint32 numeric = 0;
    // The identifier of the String and ByteString types.
    QString text;
    Guid guid;
};

// The identifier as shown: decimal, the text, or a GUID as
// "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"; empty for an unknown type.
QString nodeIdText(const NodeId& id);

// SNMP object identifier: 1 longer than 128 characters, 2 a character other
// than a digit or ".", 3 starts with ".", 4 ends with ".", 5 contains "..",
// 6 a component above 4294967295, 0 valid. An empty text gives 2.
int checkObjectIdentifier(const QString& oid);

// SNMP user name (userName set) or pass phrase: 1 longer than 15
// characters, 2 shorter than 1 (user name) or 8 (pass phrase), 3 a character
// other than an ASCII letter or digit, 0 valid.
int checkUserName(const QString& text, bool userName);

// SNMP security level of "AUTH NOPRIV" (1) or "AUTH PRIV" (3), in any case
// and with blanks around: bit 1 authentication, bit 2 privacy. Empty gives -1,
// anything else 0.
int securityLevel(const QString& text);

// KNX bus address, 0 valid, 1 invalid. Group addresses (group set): "main/
// middle/sub" (0-31/0-7/0-255), "main/sub" (0-31/0-2047) or a number 1 to
// 65535, never all 0. Individual addresses: "area.line.device"
// (0-15.0-15.0-255; "0.0.0" only when allowZero) or a number 1 to 65535.
int checkBusAddress(const QString& text, bool group, bool allowZero = false);

// True when the text holds no ".".
bool hasNoDot(const QString& text);

} // namespace FamilyChecks
