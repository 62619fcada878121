#include "soapxml.h"

#include <cstring>
#include <sstream>

namespace soap {

std::string resolvePrefix(pugi::xml_node scope, const std::string &prefix)
{
    if (prefix == "xml")
        return "http://www.w3.org/XML/1998/namespace";
    const std::string attribute = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
    for (pugi::xml_node node = scope; node; node = node.parent()) {
        if (const pugi::xml_attribute declared = node.attribute(attribute.c_str()))
            return declared.value();
    }
    return {};
}

std::string namespaceOf(pugi::xml_node node)
{
    const std::string name = node.name();
    const std::size_t colon = name.find(':');
    return resolvePrefix(node, colon == std::string::npos ? std::string() : name.substr(0, colon));
}

std::string localName(const char *qualifiedName)
{
    const char *colon = std::strchr(qualifiedName, ':');
    return colon ? colon + 1 : qualifiedName;
}

bool is(pugi::xml_node node, const char *ns, const char *local)
{
    return node.type() == pugi::node_element && localName(node.name()) == local && namespaceOf(node) == ns;
}

pugi::xml_node child(pugi::xml_node node, const char *ns, const char *local)
{
    for (pugi::xml_node candidate : node.children()) {
        if (is(candidate, ns, local))
            return candidate;
    }
    return {};
}

std::vector<pugi::xml_node> children(pugi::xml_node node, const char *ns, const char *local)
{
    std::vector<pugi::xml_node> found;
    for (pugi::xml_node candidate : node.children()) {
        if (is(candidate, ns, local))
            found.push_back(candidate);
    }
    return found;
}

std::string schemaText(pugi::xml_node node, std::initializer_list<const char *> path)
{
    for (const char *step : path) {
        pugi::xml_node next = child(node, onvifns::Schema, step);
        // Operation parameters live in the service namespace, their parts in the schema's.
        if (!next)
            next = child(node, onvifns::Device, step);
        node = next;
        if (!node)
            return {};
    }
    return node.text().as_string();
}

bool Request::parse(const std::string &text, std::string &error)
{
    const pugi::xml_parse_result result =
        m_doc.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_doctype);
    if (!result) {
        error = std::string("not well-formed XML: ") + result.description();
        return false;
    }
    for (pugi::xml_node node : m_doc.children()) {
        if (node.type() == pugi::node_doctype) {
            error = "document type declarations are not accepted";
            return false;
        }
    }
    const pugi::xml_node envelope = m_doc.document_element();
    if (!is(envelope, onvifns::Soap, "Envelope")) {
        error = "no SOAP 1.2 envelope";
        return false;
    }
    m_header = child(envelope, onvifns::Soap, "Header");
    const pugi::xml_node body = child(envelope, onvifns::Soap, "Body");
    for (pugi::xml_node node : body.children()) {
        if (node.type() == pugi::node_element) {
            m_operation = node;
            break;
        }
    }
    if (!m_operation) {
        error = "the SOAP body is empty";
        return false;
    }
    return true;
}

Writer::Writer()
{
    pugi::xml_node declaration = m_doc.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    m_envelope = m_doc.append_child("env:Envelope");
    m_envelope.append_attribute("xmlns:env") = onvifns::Soap;
    m_envelope.append_attribute("xmlns:wsa") = onvifns::Addressing;
    m_envelope.append_attribute("xmlns:d") = onvifns::Discovery;
    m_envelope.append_attribute("xmlns:dn") = onvifns::Network;
    m_envelope.append_attribute("xmlns:tds") = onvifns::Device;
    m_envelope.append_attribute("xmlns:trt") = onvifns::Media;
    m_envelope.append_attribute("xmlns:tt") = onvifns::Schema;
    m_envelope.append_attribute("xmlns:ter") = onvifns::Error;
    m_body = m_envelope.append_child("env:Body");
}

pugi::xml_node Writer::header()
{
    pugi::xml_node existing = m_envelope.child("env:Header");
    return existing ? existing : m_envelope.insert_child_before("env:Header", m_body);
}

std::string Writer::text() const
{
    std::ostringstream out;
    m_doc.save(out, "", pugi::format_raw);
    return out.str();
}

pugi::xml_node add(pugi::xml_node parent, const char *name, const std::string &text)
{
    pugi::xml_node node = parent.append_child(name);
    if (!text.empty())
        node.text().set(text.c_str());
    return node;
}

std::string faultText(const Fault &fault)
{
    Writer writer;
    pugi::xml_node node = add(writer.body(), "env:Fault");
    pugi::xml_node code = add(node, "env:Code");
    add(code, "env:Value", fault.code);
    pugi::xml_node subcode = add(code, "env:Subcode");
    add(subcode, "env:Value", fault.subcode);
    if (!fault.subsubcode.empty())
        add(add(subcode, "env:Subcode"), "env:Value", fault.subsubcode);
    pugi::xml_node reason = add(add(node, "env:Reason"), "env:Text", fault.reason);
    reason.append_attribute("xml:lang") = "en";
    return writer.text();
}

} // namespace soap
