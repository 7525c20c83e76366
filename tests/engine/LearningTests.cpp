// Tests of this stage come with it.
