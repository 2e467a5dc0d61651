#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/xml/document.h"

namespace plat::xml {
namespace {

std::vector<std::string> namesOf(const std::vector<Element>& elements) {
  std::vector<std::string> names;
  for (const Element& e : elements) names.push_back(e.name());
  return names;
}

Document load(std::string_view text) {
  Document doc;
  const Status status = doc.loadString(text);
  EXPECT_TRUE(status) << status.message;
  return doc;
}

TEST(XmlElement, KeepsAbsentAndEmptyAttributesApart) {
  const Document doc = load("<key empty='' blank=' ' value='0'/>");
  const Element key = doc.documentElement();
  EXPECT_EQ(key.attribute("empty"), std::optional<std::string>(""));
  EXPECT_EQ(key.attribute("blank"), " ");
  EXPECT_EQ(key.attribute("value"), "0");
  EXPECT_EQ(key.attribute("missing"), std::nullopt);
  EXPECT_EQ(key.attribute("VALUE"), std::nullopt) << "names are case-sensitive";
  EXPECT_TRUE(key.hasAttribute("empty"));
  EXPECT_FALSE(key.hasAttribute("missing"));
  EXPECT_EQ(key.attributeNames(), (std::vector<std::string>{"empty", "blank", "value"}));
}

TEST(XmlElement, SetAttributeReplacesInPlaceOrAppends) {
  Document doc = load("<key a='1' b='2'/>");
  Element key = doc.documentElement();
  EXPECT_TRUE(key.setAttribute("a", "one"));
  EXPECT_TRUE(key.setAttribute("c", ""));
  EXPECT_EQ(key.attributeNames(), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(key.attribute("a"), "one");
  EXPECT_EQ(key.attribute("c"), "");
}

TEST(XmlElement, RefusesNamesThatCouldNotBeReadBack) {
  Document doc;
  Element root = doc.createDocumentElement("root");
  for (std::string_view bad : {"", "1st", "a b", "a=b", "<x>", "a\"b", "-x"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(root.setAttribute(bad, "v"));
    EXPECT_FALSE(root.appendChild(bad));
  }
  EXPECT_TRUE(root.attributeNames().empty());
  EXPECT_TRUE(root.children().empty());
  EXPECT_TRUE(root.appendChild("MOVIE_DRIVEIDX_StringArray"));
  EXPECT_TRUE(root.appendChild("Größe"));
  EXPECT_TRUE(root.setAttribute("xml:lang", "de"));
  EXPECT_FALSE(doc.createDocumentElement("no root"));
  EXPECT_FALSE(doc.documentElement());
}

TEST(XmlElement, FindsChildrenByExactNameInDocumentOrder) {
  const Document doc = load("<r><k id='1'/><x/>text<!--c--><k id='2'><k id='nested'/></k><K id='3'/></r>");
  const Element r = doc.documentElement();
  EXPECT_EQ(namesOf(r.children()), (std::vector<std::string>{"k", "x", "k", "K"}));
  const std::vector<Element> ks = r.children("k");
  ASSERT_EQ(ks.size(), 2u);
  EXPECT_EQ(ks[0].attribute("id"), "1");
  EXPECT_EQ(ks[1].attribute("id"), "2");
  EXPECT_EQ(r.child("k"), ks[0]);
  EXPECT_EQ(r.child("K").attribute("id"), "3");
  EXPECT_FALSE(r.child("missing"));
  EXPECT_TRUE(r.children("missing").empty());
  EXPECT_EQ(ks[1].parent(), r);
  EXPECT_FALSE(r.parent()) << "the document element has no parent element";
}

TEST(XmlElement, ListsEveryChildNodeWithItsKind) {
  const Document doc = load("<r>one<![CDATA[<two>]]><!--three--><?four five?><six/></r>");
  const std::vector<Node> nodes = doc.documentElement().childNodes();
  ASSERT_EQ(nodes.size(), 5u);
  const struct {
    NodeKind kind;
    const char* name;
    const char* value;
  } expected[] = {
      {NodeKind::Text, "", "one"},
      {NodeKind::CData, "", "<two>"},
      {NodeKind::Comment, "", "three"},
      {NodeKind::ProcessingInstruction, "four", ""},
      {NodeKind::Element, "six", ""},
  };
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(nodes[i].kind(), expected[i].kind);
    EXPECT_EQ(nodes[i].name(), expected[i].name);
    EXPECT_EQ(nodes[i].value(), expected[i].value);
    EXPECT_EQ(static_cast<bool>(nodes[i].asElement()), expected[i].kind == NodeKind::Element);
  }
  EXPECT_EQ(nodes[4].asElement().name(), "six");
}

TEST(XmlElement, TextJoinsOnlyDirectTextAndCData) {
  const Document doc = load("<r>  a <b>hidden</b>&amp;<![CDATA[ c ]]>\n<s>  </s></r>");
  EXPECT_EQ(doc.documentElement().text(), "  a & c ") << "whitespace between nodes is layout";
  EXPECT_EQ(doc.documentElement().child("b").text(), "hidden");
  EXPECT_EQ(doc.documentElement().child("s").text(), "  ") << "whitespace as the whole content is kept";
}

TEST(XmlElement, AppendsAndRemovesChildren) {
  Document doc;
  Element root = doc.createDocumentElement("MRVConfig");
  Element section = root.appendChild("MOVIECONFIG");
  Element first = section.appendChild("KEY");
  Element second = section.appendChild("KEY");
  second.appendChild("deeper").appendChild("deepest");
  ASSERT_EQ(section.children("KEY").size(), 2u);
  EXPECT_EQ(first.parent(), section);

  EXPECT_FALSE(root.removeChild(first)) << "a grandchild is no child";
  EXPECT_FALSE(root.removeChild(Element()));
  EXPECT_TRUE(section.removeChild(second));
  EXPECT_EQ(section.children(), std::vector<Element>{first});
  EXPECT_TRUE(section.removeChild(first));
  EXPECT_TRUE(section.children().empty());
  EXPECT_EQ(doc.saveString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MRVConfig>\n  <MOVIECONFIG/>\n</MRVConfig>\n");
}

TEST(XmlElement, NullHandlesAreHarmless) {
  Element none;
  EXPECT_EQ(none.name(), "");
  EXPECT_EQ(none.attribute("a"), std::nullopt);
  EXPECT_FALSE(none.setAttribute("a", "b"));
  EXPECT_FALSE(none.appendChild("c"));
  EXPECT_TRUE(none.children().empty());
  EXPECT_TRUE(none.childNodes().empty());
  EXPECT_FALSE(none.parent());
  EXPECT_EQ(none.text(), "");
  EXPECT_EQ(Node().kind(), NodeKind::Other);
}

TEST(XmlDocument, CreateDocumentElementReplacesTheLoadedTree) {
  Document doc = load("<!-- old --><old><a/></old>");
  const Element root = doc.createDocumentElement("MRVConfig");
  EXPECT_EQ(doc.documentElement(), root);
  EXPECT_EQ(doc.saveString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<MRVConfig/>\n");
}

TEST(XmlDocument, MovesKeepElementHandlesValid) {
  Document doc = load("<r><a/></r>");
  const Element a = doc.documentElement().child("a");
  Document moved = std::move(doc);
  EXPECT_EQ(moved.documentElement().child("a"), a);
  doc = std::move(moved);
  EXPECT_EQ(doc.documentElement().child("a"), a);
}

// Nesting far deeper than any call stack could recurse through.
TEST(XmlDocument, HandlesDeeplyNestedDocumentsWithoutRecursion) {
  constexpr int kDepth = 200000;
  std::string text;
  for (int i = 0; i < kDepth; ++i) text += "<d>";
  text += "x";
  for (int i = 0; i < kDepth; ++i) text += "</d>";

  Document doc = load(text);
  Element innermost = doc.documentElement();
  for (Element next; (next = innermost.child("d"));) innermost = next;
  EXPECT_EQ(innermost.text(), "x");

  const std::string saved = doc.saveString();
  Document again = load(saved);
  EXPECT_EQ(again.saveString(), saved);

  Element root = again.documentElement();
  EXPECT_TRUE(root.removeChild(root.child("d")));
  EXPECT_EQ(again.saveString(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<d/>\n");
}

}  // namespace
}  // namespace plat::xml
