#pragma once
// Mouse buttons, modifier keys, mouse-event results and key codes.

#include <cstdint>

namespace VSTGUI {

enum CButton : int32_t
{
	kLButton = 1 << 1,
	kMButton = 1 << 2,
	kRButton = 1 << 3,
	kShift = 1 << 4,
	kControl = 1 << 5,
	kAlt = 1 << 6,
	kApple = 1 << 7,
	kDoubleClick = 1 << 9
};

class CButtonState
{
public:
	CButtonState (int32_t state = 0) : state (state) {}
	int32_t getButtonState () const { return state; }
	int32_t getModifierState () const { return state & (kShift | kControl | kAlt | kApple); }
	bool isLeftButton () const { return (state & kLButton) != 0; }
	bool isRightButton () const { return (state & kRButton) != 0; }
	bool isDoubleClick () const { return (state & kDoubleClick) != 0; }
	int32_t operator() () const { return state; }
	bool operator== (int32_t s) const { return state == s; }
	int32_t operator& (int32_t mask) const { return state & mask; }

private:
	int32_t state;
};

enum CMouseEventResult
{
	kMouseEventNotImplemented = 0,
	kMouseEventHandled,
	kMouseEventNotHandled,
	kMouseDownEventHandledButDontNeedMovedOrUpEvents
};

/** Keys without a character of their own. */
enum VirtualKey : uint8_t
{
	VKEY_NONE = 0,
	VKEY_BACK,
	VKEY_TAB,
	VKEY_RETURN,
	VKEY_ENTER,
	VKEY_ESCAPE,
	VKEY_DELETE,
	VKEY_LEFT,
	VKEY_RIGHT,
	VKEY_UP,
	VKEY_DOWN,
	VKEY_HOME,
	VKEY_END
};

enum KeyModifier : uint8_t
{
	MODIFIER_SHIFT = 1 << 0,
	MODIFIER_ALTERNATE = 1 << 1,
	MODIFIER_CONTROL = 1 << 2
};

/** A key press: a character (8-bit, 0 when none) or a virtual key, plus modifiers. */
struct VstKeyCode
{
	int32_t character {0};
	uint8_t virt {VKEY_NONE};
	uint8_t modifier {0};
};

} // namespace VSTGUI
