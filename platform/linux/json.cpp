// JSON through json-glib, copied into plain JsonValue trees; SHA-256 through GLib.
#include "platform/json.h"

#include <json-glib/json-glib.h>

#include <memory>

namespace ludexa {
namespace {

struct Unref {
    void operator()(gpointer object) const {
        if (object != nullptr) g_object_unref(object);
    }
};

bool convert(JsonNode* node, JsonValue& out, int depth) {
    if (depth > kMaxJsonDepth) return false;
    switch (json_node_get_node_type(node)) {
        case JSON_NODE_NULL: out.type = JsonValue::Type::Null; return true;
        case JSON_NODE_VALUE: {
            const GType type = json_node_get_value_type(node);
            if (type == G_TYPE_BOOLEAN) {
                out.type = JsonValue::Type::Bool;
                out.boolean = json_node_get_boolean(node) != FALSE;
            } else if (type == G_TYPE_STRING) {
                out.type = JsonValue::Type::String;
                const char* s = json_node_get_string(node);
                out.string = s != nullptr ? s : "";
            } else {
                out.type = JsonValue::Type::Number;
                out.number = json_node_get_double(node);
            }
            return true;
        }
        case JSON_NODE_ARRAY: {
            out.type = JsonValue::Type::Array;
            JsonArray* array = json_node_get_array(node);
            const guint n = json_array_get_length(array);
            out.items.resize(n);
            for (guint i = 0; i < n; ++i)
                if (!convert(json_array_get_element(array, i), out.items[i], depth + 1)) return false;
            return true;
        }
        case JSON_NODE_OBJECT: {
            out.type = JsonValue::Type::Object;
            JsonObjectIter iter;
            const gchar* name = nullptr;
            JsonNode* member = nullptr;
            json_object_iter_init(&iter, json_node_get_object(node));
            while (json_object_iter_next(&iter, &name, &member)) {
                out.members.emplace_back(name, JsonValue{});
                if (!convert(member, out.members.back().second, depth + 1)) return false;
            }
            return true;
        }
    }
    return false;
}

}  // namespace

const JsonValue* JsonValue::member(std::string_view name) const {
    if (type != Type::Object) return nullptr;
    for (const auto& [key, value] : members)
        if (key == name) return &value;
    return nullptr;
}

std::string JsonValue::text(std::string_view name) const {
    const JsonValue* value = member(name);
    return value != nullptr && value->type == Type::String ? value->string : std::string();
}

bool JsonValue::flag(std::string_view name, bool fallback) const {
    const JsonValue* value = member(name);
    return value != nullptr && value->type == Type::Bool ? value->boolean : fallback;
}

bool jsonNestingWithin(std::string_view text, int maxDepth) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;  // the escaped character, a quote included
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > maxDepth) return false;
        } else if ((c == ']' || c == '}') && depth > 0) {
            --depth;
        }
    }
    return true;
}

std::optional<JsonValue> parseJson(std::string_view text) {
    if (!jsonNestingWithin(text, kMaxJsonDepth)) return std::nullopt;
    std::unique_ptr<JsonParser, Unref> parser(json_parser_new_immutable());
    if (!json_parser_load_from_data(parser.get(), text.data(), static_cast<gssize>(text.size()), nullptr))
        return std::nullopt;
    JsonNode* root = json_parser_get_root(parser.get());
    if (root == nullptr) return std::nullopt;
    JsonValue value;
    if (!convert(root, value, 0)) return std::nullopt;
    return value;
}

std::string sha256Hex(std::string_view bytes) {
    std::unique_ptr<gchar, decltype(&g_free)> digest(
        g_compute_checksum_for_data(G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(bytes.data()), bytes.size()),
        g_free);
    return digest ? std::string(digest.get()) : std::string();
}

}  // namespace ludexa
