#include "tools/build/jsonsource.h"

#include <string>

#include "tools/build/jsonfile.h"

namespace codexa::build {

namespace {

using nlohmann::json;

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw BuildError("source: " + where + ": " + what);
}

const json& ArrayAt(const json& object, const char* key, const std::string& where) {
  const auto it = object.find(key);
  if (it == object.end() || !it->is_array()) Fail(where, std::string("expected an array \"") + key + "\"");
  return *it;
}

std::string NameOf(const json& object, const std::string& where) {
  if (!object.is_object()) Fail(where, "expected an object");
  const auto it = object.find("name");
  if (it == object.end() || !it->is_string()) Fail(where, "expected a string \"name\"");
  return it->get<std::string>();
}

// A string is main text, {"note": "…"} an annotation.
Run RunOf(const json& value, const std::string& where) {
  if (value.is_string()) return {RunKind::kMainText, value.get<std::string>()};
  if (value.is_object() && value.size() == 1 && value.contains("note") && value["note"].is_string()) {
    return {RunKind::kAnnotation, value["note"].get<std::string>()};
  }
  Fail(where, "expected a string or {\"note\": \"…\"}");
}

Paragraph ParagraphOf(const json& value, const std::string& where) {
  if (!value.is_array()) return {{RunOf(value, where)}};
  Paragraph paragraph;
  for (size_t i = 0; i < value.size(); ++i) paragraph.runs.push_back(RunOf(value[i], where + "[" + std::to_string(i) + "]"));
  return paragraph;
}

PageContent PageOf(const json& value, const std::string& where) {
  if (!value.is_object()) Fail(where, "expected an object");
  PageContent page;
  if (value.contains("title")) {
    if (!value["title"].is_string()) Fail(where, "\"title\" must be a string");
    page.title = value["title"].get<std::string>();
  }
  const json& paragraphs = ArrayAt(value, "paragraphs", where);
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    page.paragraphs.push_back(ParagraphOf(paragraphs[i], where + ".paragraphs[" + std::to_string(i) + "]"));
  }
  return page;
}

}  // namespace

void ReadJsonSource(const std::filesystem::path& file, CorpusBuilder& builder) {
  const json root = ReadJsonFile(file);
  if (!root.is_object()) Fail("top level", "expected an object with \"categories\"");
  const json& categories = ArrayAt(root, "categories", "top level");
  for (size_t c = 0; c < categories.size(); ++c) {
    const std::string cw = "categories[" + std::to_string(c) + "]";
    builder.StartCategory(NameOf(categories[c], cw));
    const json& works = ArrayAt(categories[c], "works", cw);
    for (size_t w = 0; w < works.size(); ++w) {
      const std::string ww = cw + ".works[" + std::to_string(w) + "]";
      builder.StartWork(NameOf(works[w], ww));
      const json& volumes = ArrayAt(works[w], "volumes", ww);
      for (size_t v = 0; v < volumes.size(); ++v) {
        const std::string vw = ww + ".volumes[" + std::to_string(v) + "]";
        builder.StartVolume(NameOf(volumes[v], vw));
        const json& pages = ArrayAt(volumes[v], "pages", vw);
        for (size_t p = 0; p < pages.size(); ++p) {
          builder.AddPage(PageOf(pages[p], vw + ".pages[" + std::to_string(p) + "]"));
        }
      }
    }
  }
}

}  // namespace codexa::build
