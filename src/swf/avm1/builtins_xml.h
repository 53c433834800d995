// What the files of the XML classes share.
#pragma once

#include "swf/avm1/builtins.h"
#include "swf/avm1/xml_node.h"

namespace dc::swf::avm1 {

// The prototype new nodes get: XMLNode.prototype as it is now, so that a
// script that replaced it sees its own class in parsed nodes.
Object* XmlNodePrototype(Runtime& rt);
// XMLNode, its properties and methods; gives back its prototype, which
// XML's inherits from.
Object* InstallXmlNodeClass(Runtime& rt);
// A node's text as toString writes it.
std::string XmlToString(Runtime& rt, XmlNodeObject* root);

}  // namespace dc::swf::avm1
