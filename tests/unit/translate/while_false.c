void vrel__main() {
int vrel__x;
while (0 ) {
}
while (vrel__x != 0 ) {
vrel__x = vrel__x - 1 ;
}

}
int main() {
	vrel__main();
}


