#pragma once
// A second program from the sources of a linked one, with the fragment stage compiled under one more
// macro: the same shading with a part left out, for pixels where that part cannot show.
#include <string>
#include <vector>

namespace libkub {

class ShaderProgram;

// Compiles one stage from source text; 0 (and nothing printed) when it does not compile. For the
// engine's own small programs and variants, whose sources the game's files do not name.
unsigned compileStageQuietly(unsigned stage, const char* source);

// Links the base program's own vertex stage (the very shader object, so both programs place every
// vertex alike to the last bit) with the fragment file compiled with `macro` defined. Returns the
// program, not yet made current, or 0 when the file cannot be read or the variant does not build. Says
// nothing: the base program's build already printed what the compiler had to say about these files.
unsigned linkFragmentVariant(const ShaderProgram& base, const std::string& fragmentFile,
                             const std::string& macro);

// Links both stages of the base program's files compiled anew with every one of `macros` defined: a
// variant whose vertex stage differs too. Returns the program, not yet made current, or 0 when a file
// cannot be read or the variant does not build; says nothing, as above.
unsigned linkVariant(const ShaderProgram& base, const std::vector<std::string>& macros);

} // namespace libkub
