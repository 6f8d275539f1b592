void vrel__main() {
int vrel__x;
int vrel__y;
if (!(vrel__x < vrel__y )) {
}
if (!(vrel__x == 0 && 1 )) {
}
if (!1 ) {
}
if (!!0 ) {
}

}
int main() {
	vrel__main();
}


