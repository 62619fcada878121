#ifndef SOAPXML_H
#define SOAPXML_H

// SOAP 1.2 envelopes for the simulated ONVIF devices: reading requests by
// namespace URI (prefixes differ between clients) and writing answers, every
// text escaped by the XML library.
#include <pugixml.hpp>

#include <memory>
#include <string>
#include <vector>

namespace onvifns {
constexpr const char *Soap = "http://www.w3.org/2003/05/soap-envelope";
constexpr const char *Addressing = "http://schemas.xmlsoap.org/ws/2004/08/addressing";
constexpr const char *Discovery = "http://schemas.xmlsoap.org/ws/2005/04/discovery";
constexpr const char *Network = "http://www.onvif.org/ver10/network/wsdl";
constexpr const char *Device = "http://www.onvif.org/ver10/device/wsdl";
constexpr const char *Media = "http://www.onvif.org/ver10/media/wsdl";
constexpr const char *Schema = "http://www.onvif.org/ver10/schema";
constexpr const char *Error = "http://www.onvif.org/ver10/error";
constexpr const char *Security =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-secext-1.0.xsd";
constexpr const char *Utility =
    "http://docs.oasis-open.org/wss/2004/01/oasis-200401-wss-wssecurity-utility-1.0.xsd";
} // namespace onvifns

namespace soap {

// The namespace URI of an element, or of a QName text's prefix in its scope.
std::string namespaceOf(pugi::xml_node node);
std::string resolvePrefix(pugi::xml_node scope, const std::string &prefix);
std::string localName(const char *qualifiedName);
bool is(pugi::xml_node node, const char *ns, const char *local);
pugi::xml_node child(pugi::xml_node node, const char *ns, const char *local);
std::vector<pugi::xml_node> children(pugi::xml_node node, const char *ns, const char *local);
// Text of the element at the end of a path of (namespace, local name) steps in the schema namespace.
std::string schemaText(pugi::xml_node node, std::initializer_list<const char *> path);

// A parsed request. False from parse() for text that is no XML, holds a
// document type declaration (entities are never expanded) or is no SOAP 1.2 envelope.
class Request
{
public:
    bool parse(const std::string &text, std::string &error);
    pugi::xml_node header() const { return m_header; }
    // The operation: the first element of the body.
    pugi::xml_node operation() const { return m_operation; }

private:
    pugi::xml_document m_doc;
    pugi::xml_node m_header;
    pugi::xml_node m_operation;
};

// An answer envelope declaring the prefixes used by this simulator.
class Writer
{
public:
    Writer();
    pugi::xml_node header();
    pugi::xml_node body() { return m_body; }
    std::string text() const;

private:
    pugi::xml_document m_doc;
    pugi::xml_node m_envelope;
    pugi::xml_node m_body;
};

// Adds <name>text</name> under parent and returns it.
pugi::xml_node add(pugi::xml_node parent, const char *name, const std::string &text = {});

struct Fault
{
    std::string code;     // "env:Sender" or "env:Receiver"
    std::string subcode;  // "ter:NotAuthorized", ...
    std::string subsubcode;
    std::string reason;
    int httpStatus = 400;
};
std::string faultText(const Fault &fault);

} // namespace soap

#endif // SOAPXML_H
