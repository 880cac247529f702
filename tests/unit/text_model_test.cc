#include "text/text_model.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "text/text_classifier.h"

namespace ident::text {
namespace {

// The training script computes the features in Python
// (bench/text_features.py); these hashes are its answers, so a change on
// either side that the other lacks shows here.
TEST(TextModelFeatures, AgreeWithTheTrainingScript) {
  struct Case {
    std::string head;
    std::vector<std::uint32_t> hashes;
  };
  const Case cases[] = {
      {"name: value\n",
       {0x3f0cb86d, 0x425ed3ca, 0x4abc160c, 0x8d39bde6, 0xac4f277a, 0xb286eeb8}},
      // A byte order mark, a tab and a blank indent, CRLF, a number, a
      // word with UTF-8 letters and an empty line.
      {"\xEF\xBB\xBF\tlocal x = 12 -- caf\xC3\xA9\r\n\n  end\n",
       {0x20cd1d0f, 0x350ca8af, 0x380cad68, 0x465d5356, 0x495d580f, 0x4abc160c, 0x4ac8e1ff,
        0x6a8e75aa, 0x9c436708, 0xacdc169d, 0xd00c09b0, 0xd6846ee6, 0xf492c4b4, 0xfd0c5087}},
      // Words are cut to 24 bytes, runs of other bytes to 3.
      {std::string(30, 'a') + " ===>\n", {0x2377d0f6, 0xba849378, 0xc7e5e434, 0xd1c4f7fd, 0xd69f1479}},
      {"", {}},
      {" \t\r\n\n", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(featureHashes(c.head), c.hashes) << c.head;
  }
}

// Bytes of a model file, written as bench/train_text_model.py writes one.
class ModelBytes {
 public:
  ModelBytes& raw(std::string_view s) {
    bytes_.append(s);
    return *this;
  }
  template <typename T>
  ModelBytes& put(T value) {
    char buffer[sizeof value];
    std::memcpy(buffer, &value, sizeof value);
    bytes_.append(buffer, sizeof value);
    return *this;
  }
  ModelBytes& text(std::string_view s) {
    put(static_cast<std::uint8_t>(s.size()));
    return raw(s);
  }
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Two kinds, "txt" and "lua"; the feature "end" weighs 1 for Lua and
// "^local" 3, against a bias of 1 for text unless told; the scale is 0.5.
ModelBytes luaModel(std::uint32_t first_hash = 0x6a8e75aa, std::uint8_t kind = 1,
                    std::int16_t text_bias = 1) {
  ModelBytes m;
  m.raw("TXTMODL1").put<std::uint32_t>(2).put<std::uint32_t>(2).put<std::uint32_t>(2).put(0.5f);
  m.text("txt").text("text").text("lua").text("Lua script");
  m.put<std::int16_t>(text_bias).put<std::int16_t>(0);
  // "end" hashes below "^local", as the file's order needs.
  m.put<std::uint32_t>(first_hash).put<std::uint32_t>(0xf492c4b4);
  m.put<std::uint32_t>(0).put<std::uint32_t>(1).put<std::uint32_t>(2);
  m.put(kind).put<std::int8_t>(1).put<std::uint8_t>(1).put<std::int8_t>(3);
  return m;
}

TEST(TextModel, ScoresTheFeaturesAFileHas) {
  TextModel model;
  std::string err;
  ASSERT_TRUE(model.parse(luaModel().bytes(), &err)) << err;
  ASSERT_TRUE(model.loaded());
  const auto lua = model.classify("local x = 1\nend\n");
  ASSERT_TRUE(lua);
  EXPECT_EQ(lua->extension, "lua");
  EXPECT_EQ(lua->description, "Lua script");
  EXPECT_DOUBLE_EQ(lua->lead, 1.5);            // (3 + 1 - 1) * 0.5
  EXPECT_DOUBLE_EQ(lua->lead_over_text, 1.5);  // plain text is the runner-up
  const auto prose = model.classify("Nothing of the kind here.\n");
  ASSERT_TRUE(prose);
  EXPECT_EQ(prose->extension, "txt");
  EXPECT_FALSE(TextModel().classify("local x = 1\n"));
}

TEST(TextModel, RefusesDamagedFiles) {
  const std::string good = luaModel().bytes();
  const std::pair<std::string, std::string> cases[] = {
      {"empty", ""},
      {"another magic", "TXTMODL2" + good.substr(8)},
      {"cut short", good.substr(0, good.size() - 1)},
      {"trailing bytes", good + "x"},
      {"hashes out of order", luaModel(0xffffffff).bytes()},
      {"a weight for a kind it lacks", luaModel(0x6a8e75aa, 2).bytes()},
      // A count far beyond the file's bytes must fail before it allocates.
      {"huge count", ModelBytes().raw("TXTMODL1").put<std::uint32_t>(2).put<std::uint32_t>(0x7fffffff)
                         .put<std::uint32_t>(0x7fffffff).put(0.5f).bytes()},
  };
  for (const auto& [what, bytes] : cases) {
    // A model that fails to parse leaves none behind, not the one before.
    TextModel model;
    std::string err;
    ASSERT_TRUE(model.parse(good, &err)) << err;
    EXPECT_FALSE(model.parse(bytes, &err)) << what;
    EXPECT_FALSE(err.empty()) << what;
    EXPECT_FALSE(model.loaded()) << what;
  }
}

TEST(TextModel, NamesWhatTheRulesLeaveAsText) {
  TextModel model;
  std::string err;
  ASSERT_TRUE(model.parse(luaModel().bytes(), &err)) << err;
  const std::string lua = "local x = 1\nend\n";
  EXPECT_EQ(classifyText(lua, "").extension, "txt");
  const TextVerdict verdict = classifyText(lua, "", &model);
  EXPECT_EQ(verdict.extension, "lua");
  EXPECT_EQ(verdict.evidence, "text model");
  // Code below a comment is still the model's to name.
  EXPECT_EQ(classifyText("/* Licensed under the MIT licence.\n */\n" + lua, "", &model).extension,
            "lua");
  // What the rules decide stays theirs.
  EXPECT_EQ(classifyText("#!/bin/sh\nlocal x = 1\nend\n", "", &model).extension, "sh");
  // A licence is prose, whatever it shares with a program; a licence in a
  // program's comment leaves the program to the model.
  struct Case {
    std::string_view text;
    std::string_view extension;
  };
  const Case cases[] = {
      {"GNU LESSER GENERAL PUBLIC LICENSE\n\n", "txt"},
      {"  The MIT License (MIT)\n", "txt"},
      {"Copyright 2020 A. Author\n\nPermission is hereby granted, free of charge\n", "txt"},
      {"-- Permission is hereby granted, free of charge\n", "lua"},
      {"-- The MIT License (MIT)\n", "lua"},
      {"---- LLVM Exceptions to the Apache 2.0 License ----\n", "txt"},
      {"--- License: MIT ---\n", "lua"},
      {"/*\n The MIT License (MIT)\n\n Permission is hereby granted, free of charge\n*/\n", "lua"},
      // Further down than a title stands, "license" is a word of the text.
      {"x\ny\nz\nSee the license\n", "lua"},
      {"local license = 'MIT'\n", "lua"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classifyText(std::string(c.text) + lua, "", &model).extension, c.extension) << c.text;
  }
}

// The model's kind must lead plain text by a wider margin than it needs
// over other kinds: 0.75, where a lead of 0.5 over another kind would do.
TEST(TextModel, NamesAKindOnlyWellAheadOfPlainText) {
  struct Case {
    std::int16_t text_bias;
    std::string_view want;
  };
  // Lua scores (3 + 1) * 0.5 = 2 for the text; plain text its bias * 0.5.
  const Case cases[] = {{2, "lua"}, {3, "txt"}, {4, "txt"}};
  for (const Case& c : cases) {
    TextModel model;
    std::string err;
    ASSERT_TRUE(model.parse(luaModel(0x6a8e75aa, 1, c.text_bias).bytes(), &err)) << err;
    EXPECT_EQ(classifyText("local x = 1\nend\n", "", &model).extension, c.want)
        << "plain text's bias " << c.text_bias;
  }
}

// The model that ships beside the library: it loads, and names a few texts
// the rules leave alone. Retraining it may move these answers; each is a
// plain case of its kind.
TEST(ShippedTextModel, LoadsAndAnswers) {
  std::ifstream file(TRUEEXT_TEXT_MODEL, std::ios::binary);
  ASSERT_TRUE(file) << TRUEEXT_TEXT_MODEL;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  TextModel model;
  std::string err;
  ASSERT_TRUE(model.parse(bytes, &err)) << err;
  struct Case {
    std::string_view text;
    std::string_view extension;
  };
  const Case cases[] = {
      // A catalogue without its header entry, which the rules look for.
      {"msgid \"Hello\"\nmsgstr \"Bonjour\"\n", "po"},
      {"Copyright (c) 2020 The Authors\n\nPermission is hereby granted, free of charge, to any "
       "person obtaining a copy\nof this software.\n",
       "txt"},
      // The licence notices a bundler extracts from its input: comments
      // alone, which the model would take for the bundle's JavaScript.
      {"/*\nobject-assign\n(c) Sindre Sorhus\n@license MIT\n*/\n\n/*! ./factory */\n\n"
       "/*! ./lib/ReactPropTypesSecret */\n\n/*! create-react-class */\n\n/*! prop-types */\n\n"
       "/*! react */\n\n/*!************************!*\\\n  !*** external \"React\" ***!\n"
       "  \\************************/\n\n/*!****************************!*\\\n"
       "  !*** ./lib/highlighter.js ***!\n  \\****************************/\n",
       "txt"},
      // A licence, whose capitals the model takes for a Dockerfile's.
      {"Copyright Jason R. Coombs\n\nPermission is hereby granted, free of charge, to any person "
       "obtaining a copy\nof this software and associated documentation files (the \"Software\"), "
       "to\ndeal in the Software without restriction, including without limitation the\nrights to "
       "use, copy, modify, merge, publish, distribute, sublicense, and/or\nsell copies of the "
       "Software, and to permit persons to whom the Software is\nfurnished to do so, subject to the "
       "following conditions:\n\nThe above copyright notice and this permission notice shall be "
       "included in\nall copies or substantial portions of the Software.\n\nTHE SOFTWARE IS "
       "PROVIDED \"AS IS\", WITHOUT WARRANTY OF ANY KIND, EXPRESS OR\nIMPLIED, INCLUDING BUT NOT "
       "LIMITED TO THE WARRANTIES OF MERCHANTABILITY,\nFITNESS FOR A PARTICULAR PURPOSE AND "
       "NONINFRINGEMENT. IN NO EVENT SHALL THE\nAUTHORS OR COPYRIGHT HOLDERS BE LIABLE FOR ANY "
       "CLAIM, DAMAGES OR OTHER\nLIABILITY, WHETHER IN AN ACTION OF CONTRACT, TORT OR OTHERWISE, "
       "ARISING\nFROM, OUT OF OR IN CONNECTION WITH THE SOFTWARE OR THE USE OR OTHER DEALINGS\nIN "
       "THE SOFTWARE.\n",
       "txt"},
      // OpenSSH's client configuration, whose "#" lines the model takes for
      // a C header's, though no line of it is C.
      {
       "\n# This is the ssh client system-wide configuration file.  See\n"
       "# ssh_config(5) for more information.  This file provides defaults for\n"
       "# users, and the values can be changed in per-user configuration files\n"
       "# or on the command line.\n\n# Configuration data is parsed as follows:\n"
       "#  1. command line options\n#  2. user-specific file\n#  3. system-wide file\n"
       "# Any configuration value is only changed the first time it is set.\n"
       "# Thus, host-specific definitions should be at the beginning of the\n"
       "# configuration file, and defaults at the end.\n\n"
       "# Site-wide defaults for some commonly used options.  For a comprehensive\n"
       "# list of available options, their meanings and defaults, please see the\n"
       "# ssh_config(5) man page.\n\nInclude /etc/ssh/ssh_config.d/*.conf\n\nHost *\n"
       "#   ForwardAgent no\n#   ForwardX11 no\n#   ForwardX11Trusted yes\n"
       "#   PasswordAuthentication yes\n#   HostbasedAuthentication no\n"
       "#   GSSAPIAuthentication no\n#   GSSAPIDelegateCredentials no\n#   GSSAPIKeyExchange no\n"
       "#   GSSAPITrustDNS no\n#   BatchMode no\n#   CheckHostIP yes\n#   AddressFamily any\n"
       "#   ConnectTimeout 0\n#   StrictHostKeyChecking ask\n#   IdentityFile ~/.ssh/id_rsa\n"
       "#   IdentityFile ~/.ssh/id_dsa\n#   IdentityFile ~/.ssh/id_ecdsa\n"
       "#   IdentityFile ~/.ssh/id_ed25519\n#   Port 22\n"
       "#   Ciphers aes128-ctr,aes192-ctr,aes256-ctr,aes128-cbc,3des-cbc\n"
       "#   MACs hmac-md5,hmac-sha1,umac-64@openssh.com\n#   EscapeChar ~\n#   Tunnel no\n"
       "#   TunnelDevice any:any\n#   PermitLocalCommand no\n#   VisualHostKey no\n"
       "#   ProxyCommand ssh -q -W %h:%p gateway.example.com\n#   RekeyLimit 1G 1h\n"
       "#   UserKnownHostsFile ~/.ssh/known_hosts.d/%k\n    SendEnv LANG LC_*\n"
       "    HashKnownHosts yes\n    GSSAPIAuthentication yes\n",
       "txt"},
      // An SNMP MIB, whose "FROM" lines the model takes for a Dockerfile's.
      {"-- -*- snmpv2 -*-\n-- MIB file for demo\n\nDEMO-MIB DEFINITIONS ::= BEGIN\n\nIMPORTS\n"
       "    OBJECT-TYPE, MODULE-IDENTITY, enterprises, Counter64\n        FROM SNMPv2-SMI\n"
       "    OBJECT-GROUP, MODULE-COMPLIANCE\n        FROM SNMPv2-CONF\n"
       "    InetAddressType\n        FROM INET-ADDRESS-MIB\n"
       "    DisplayString\n        FROM SNMPv2-TC;\n\ndemo MODULE-IDENTITY\n"
       "    LAST-UPDATED \"201611080000Z\"\n    ORGANIZATION \"Demo\"\n",
       "txt"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(classifyText(c.text, "", &model).extension, c.extension) << c.text;
  }
}

}  // namespace
}  // namespace ident::text
