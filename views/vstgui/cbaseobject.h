#pragma once
// Reference-counted base of every view-layer object.

#include <cstdint>

namespace VSTGUI {

enum CMessageResult
{
	kMessageUnknown = 0,
	kMessageNotified = 1
};

/** Starts with one reference, owned by whoever created it; `forget` drops one and deletes the
 *  object with the last. */
class CBaseObject
{
public:
	CBaseObject () = default;
	virtual ~CBaseObject () = default;
	CBaseObject (const CBaseObject&) = delete;
	CBaseObject& operator= (const CBaseObject&) = delete;

	void remember () { ++nbReference; }
	void forget ()
	{
		if (--nbReference == 0)
			delete this;
	}
	int32_t getNbReference () const { return nbReference; }

	/** A message from another object (e.g. a timer); answers whether it was understood. */
	virtual CMessageResult notify (CBaseObject* /*sender*/, const char* /*message*/)
	{
		return kMessageUnknown;
	}

private:
	int32_t nbReference {1};
};

/** Holds one reference to a reference-counted object for as long as it lives (VSTGUI's
 *  SharedPointer, in the part the views need). */
template <class T>
class SharedPointer
{
public:
	SharedPointer (T* p = nullptr) : object (p)
	{
		if (object)
			object->remember ();
	}
	~SharedPointer ()
	{
		if (object)
			object->forget ();
	}
	SharedPointer (const SharedPointer&) = delete;
	SharedPointer& operator= (const SharedPointer&) = delete;

	operator T* () const { return object; }
	T* operator->() const { return object; }

private:
	T* object;
};

} // namespace VSTGUI
