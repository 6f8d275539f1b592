void vrel__main() {
int vrel__x;
vrel__x = 2147483647 ;
vrel__x = -2147483648 ;

}
int main() {
	vrel__main();
}


