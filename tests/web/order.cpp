// Built with the site, so that a design whose tab order the page's order of its controls
// does not follow fails the build: Tab moves through the page's controls in their order.

#include "platform/web/order.h"

#include "helpwindow/helpfrm_design.h"
#include "mainwindow/mainfrm_design.h"

static_assert(ui::TabFollowsDesign(mainfrm_design::kForm));
static_assert(ui::TabFollowsDesign(helpfrm_design::kForm));
