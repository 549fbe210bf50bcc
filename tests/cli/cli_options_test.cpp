#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include "i2c/catalogue.h"

namespace keldar::cli {
namespace {

ParseResult Parse(std::vector<std::string> args, Options& options) {
  return ParseCommandLine(args, options);
}

TEST(CliOptions, ReadNeedsPortTypeAndOutput) {
  Options options;
  EXPECT_EQ(Parse({"read", "--port", "1", "--type", "24c256", "-o", "x.bin"}, options).status,
            ParseStatus::Ok);
  EXPECT_EQ(options.typeIndex, 9);
  EXPECT_EQ(options.port, "1");
  for (const auto& args : std::vector<std::vector<std::string>>{
           {"read", "--type", "24C16", "-o", "x"},
           {"read", "--port", "1", "-o", "x"},
           {"read", "--port", "1", "--type", "24C16"},
           {"program", "--port", "1", "--type", "24C16"},
           {"convert", "-i", "a", "-o", "b"},
           {"read", "--port", "1", "--type", "24C17", "-o", "x"},
           {"read", "--port", "1", "--type", "24C16", "-o", "x", "--base", "8"},
           {"read", "--port", "1", "--type", "24C16", "-o", "x", "--access-time", "16"},
           {"read", "--port", "1", "--type", "24C16", "-o", "x", "--input", "rts"},
           {"read", "--port", "1", "--type", "24C16", "-o", "x", "--complement", "sda"},
           {"read", "--port", "1", "--type", "24C16", "-o", "x", "--list"},
           {"convert", "-i", "a", "-o", "b", "--type", "24C16", "--port", "1"},
           {"read", "--port"},
           {"erase"},
           {}}) {
    Options o;
    EXPECT_EQ(Parse(args, o).status, ParseStatus::UsageError) << ::testing::PrintToString(args);
  }
}

TEST(CliOptions, ARangeTakesThreeAddressFormsAndMustFitTheType) {
  EXPECT_EQ(ParseAddress("$1fF0"), 0x1FF0U);
  EXPECT_EQ(ParseAddress("0X1FF0"), 0x1FF0U);
  EXPECT_EQ(ParseAddress("8176"), 8176U);
  EXPECT_EQ(ParseAddress("0"), 0U);
  // "00" is what a shell leaves of an unquoted $100; 2^32 does not fit.
  for (const char* bad : {"", "$", "0x", "1F", "-1", "+1", "$-1", "0x1G", "00", "4294967296"})
    EXPECT_FALSE(ParseAddress(bad)) << bad;

  const auto parse = [](std::vector<std::string> range) {
    Options options;
    std::vector<std::string> args{"compare", "--port", "1", "--type", "24C16", "-i", "x"};
    args.insert(args.end(), range.begin(), range.end());
    const ParseResult result = Parse(args, options);
    return std::pair{result, options.range};
  };
  EXPECT_EQ(parse({"--from", "0x100", "--to", "$1FF"}).second, (AddressRange{0x100, 0x1FF}));
  EXPECT_EQ(parse({"--from", "$100"}).second, (AddressRange{0x100, 0x7FF}));
  EXPECT_EQ(parse({"--to", "0x7FF"}).second, (AddressRange{0, 0x7FF}));
  EXPECT_FALSE(parse({}).second);
  EXPECT_EQ(parse({"--to", "2048"}).first.text,
            "Adresse hors de la mémoire : --to $0800, la 24C16 va de $0000 à $07FF.\n"
            "keldar-cli --help pour l'aide.\n");
  for (const auto& refused : std::vector<std::vector<std::string>>{
           {"--from", "$800"}, {"--from", "0x200", "--to", "0x1FF"}, {"--from", "F00"}}) {
    EXPECT_EQ(parse(refused).first.status, ParseStatus::UsageError)
        << ::testing::PrintToString(refused);
  }
}

TEST(CliOptions, HelpForEverySubcommand) {
  for (const char* command : {"read", "program", "compare", "convert"}) {
    Options options;
    const ParseResult result = Parse({command, "--help"}, options);
    EXPECT_EQ(result.status, ParseStatus::Help);
    EXPECT_NE(result.text.find(std::string("keldar-cli ") + command), std::string::npos);
  }
}

TEST(CliOptions, FormatFollowsTheOptionElseTheExtension) {
  EXPECT_EQ(ResolveFormat(FileFormat::FromExtension, "dump.HEX"), FileFormat::IntelHex);
  EXPECT_EQ(ResolveFormat(FileFormat::FromExtension, "dump.hex.bin"), FileFormat::Binary);
  EXPECT_EQ(ResolveFormat(FileFormat::FromExtension, "dir.hex/dump"), FileFormat::Binary);
  EXPECT_EQ(ResolveFormat(FileFormat::Binary, "dump.hex"), FileFormat::Binary);
  Options options;
  ASSERT_EQ(
      Parse({"convert", "-i", "a.txt", "-o", "b", "--type", "24C02", "--in-format", "hex"}, options)
          .status,
      ParseStatus::Ok);
  EXPECT_EQ(options.inputFormat, FileFormat::IntelHex);
  EXPECT_EQ(options.outputFormat, FileFormat::FromExtension);
}

TEST(CliOptions, LineMapOverridesApplyOverThePreset) {
  Options options;
  ASSERT_EQ(Parse({"read", "--port", "sim:24C02", "--type", "24C02", "-o", "x", "--insitu",
                   "--arrangement", "3", "--input", "dcd", "--access-time", "4"},
                  options)
                .status,
            ParseStatus::Ok);
  LineMap map;
  std::string error;
  ASSERT_TRUE(ApplyOverrides(options.lines, map, error));
  EXPECT_TRUE(map.complementScl);
  EXPECT_TRUE(map.complementSdaIn);
  EXPECT_EQ(map.outputArrangement, 3);
  EXPECT_EQ(map.Arrangement().sda, OutputLine::Txd);
  EXPECT_EQ(map.SdaInputLine(), InputLine::Dcd);
  EXPECT_EQ(map.accessTime, 4);

  LineMapOverrides complement;
  complement.complement = std::vector<std::string>{"valim", "sda-in"};
  map.ApplyInSituPreset();
  ASSERT_TRUE(ApplyOverrides(complement, map, error));
  EXPECT_TRUE(map.complementValim);
  EXPECT_FALSE(map.complementScl) << "the list names every inverted signal";
  EXPECT_TRUE(map.complementSdaIn);
}

TEST(CliOptions, PortsTakesAProbeAndTheWiringButNoMemoryOrFile) {
  Options options;
  EXPECT_EQ(Parse({"ports", "--probe", "2", "--input", "dcd"}, options).status, ParseStatus::Ok);
  EXPECT_EQ(options.port, "2");
  for (const char* refused : {"--port", "--type", "-o", "--base"}) {
    EXPECT_EQ(Parse({"ports", refused, "1"}, options).status, ParseStatus::UsageError) << refused;
  }
}

TEST(CliOptions, AValueMayFollowAnEqualsSign) {
  Options options;
  ASSERT_EQ(Parse({"program", "--port=sim:24C02,image=a=b.bin", "--type=24C02", "-i=x.bin",
                   "--base=3", "--input=dcd", "--byte-mode"},
                  options)
                .status,
            ParseStatus::Ok);
  EXPECT_EQ(options.port, "sim:24C02,image=a=b.bin");  // the value's own signs stay
  EXPECT_EQ(options.typeIndex, FindMemoryType("24C02"));
  EXPECT_EQ(options.input, "x.bin");
  EXPECT_EQ(options.baseAddress, 3);
  EXPECT_EQ(options.lines.input, 3);
  EXPECT_TRUE(options.byteMode);
  EXPECT_EQ(Parse({"read", "--port=1", "--type=24C99", "-o", "x"}, options).text,
            "Type de mémoire inconnu : « 24C99 ».\nkeldar-cli --help pour l'aide.\n");
  EXPECT_EQ(
      Parse({"program", "--port=1", "--type=24C02", "-i=x", "--byte-mode=no"}, options).status,
      ParseStatus::UsageError);
  // --help ends the reading: a fault before it is reported, anything after it is not.
  EXPECT_EQ(Parse({"read", "--help", "--bogus"}, options).status, ParseStatus::Help);
  EXPECT_EQ(Parse({"read", "--base=9", "--help"}, options).status, ParseStatus::UsageError);
}

}  // namespace
}  // namespace keldar::cli
