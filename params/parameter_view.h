// The parameter page and the group/hold page as views of the parameter
// model: every edit goes into the model at once, and every change of the
// model (a word, a group or hold cell, the whole set) shows on the pages.
#pragma once

namespace params {

// Binds the built pages to the model (once per set of pages; the pages'
// start values then become the model's). Nothing happens without pages.
void BindParameterPages();

} // namespace params
