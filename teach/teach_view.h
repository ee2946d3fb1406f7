// The teach page and the attribute table as views of the parameter model:
// the grid's cells, the No. field, the tolerance entries of the grid's menu,
// the row colours and the row texts show the model, and every edit goes
// into it at once.
#pragma once

namespace teach {

// Bind the built page to the model (once per page; the grid's start
// values then become the model's). Nothing happens without the page.
void BindTeachPage();
void BindAttributesPage();

} // namespace teach
