#pragma once
// What screen readers and other assistive technology see of an image
// control: a control made a button is a push button, named by its
// accessible name, offering the press action; any other image control is
// shown as the plain widget it is.

// Installs the accessibility factory for image controls, once; every image
// control calls it when it is made.
void installAccessibleButtons();
